#include "ui/cmainwidget.h"

#include <QEvent>

cMainWidget::cMainWidget(QWidget *parent) : QWidget(parent)
{
    setupUi(this);
}

void cMainWidget::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::LanguageChange)
        retranslateUi(this);
}
