#pragma once

#include "ui_cmainwidget.h"

#include <QWidget>

// The central widget of the main window: the form, its file table and commands.
class cMainWidget : public QWidget, private Ui::cMainWidget
{
    Q_OBJECT

public:
    explicit cMainWidget(QWidget *parent = nullptr);

protected:
    void changeEvent(QEvent *e) override;
};
