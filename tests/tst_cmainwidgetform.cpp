#include "app/cmainwindow.h"
#include "support/testsupport.h"
#include "ui/cmainwidget.h"
#include "ui_cmainwidget.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

// The form, the style sheet and the icons of the resource bundle.
class tst_cMainWidgetForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void formObjects();
    void formKeepsAGivenName();
    void languageChangeReappliesTexts();
    void styleSheetEffects_data();
    void styleSheetEffects();
    void iconsCarryEverySize_data();
    void iconsCarryEverySize();

private:
    QTemporaryDir scratch;
};

void tst_cMainWidgetForm::initTestCase()
{
    QVERIFY(scratch.isValid());
    TestSupport::useScratchSettings(scratch.path());
    QVERIFY(QDir::setCurrent(scratch.path()));
}

void tst_cMainWidgetForm::formObjects()
{
    cMainWidget form;
    QCOMPARE(form.objectName(), QStringLiteral("cMainWidget"));
    auto *const selectBtn = form.findChild<QPushButton *>(QStringLiteral("selectBtn"));
    auto *const fileList = form.findChild<QTableView *>(QStringLiteral("fileList"));
    auto *const outputEdit = form.findChild<QLineEdit *>(QStringLiteral("outputEdit"));
    auto *const outputBtn = form.findChild<QToolButton *>(QStringLiteral("outputBtn"));
    auto *const convertBtn = form.findChild<QPushButton *>(QStringLiteral("convertBtn"));
    auto *const optionsBtn = form.findChild<QPushButton *>(QStringLiteral("optionsBtn"));
    QVERIFY(selectBtn && fileList && outputEdit && outputBtn && convertBtn && optionsBtn);
    // Each button has a mnemonic; screen readers still read its plain name.
    QCOMPARE(selectBtn->text(), QStringLiteral("&Select files"));
    QCOMPARE(convertBtn->text(), QStringLiteral("&Convert"));
    QCOMPARE(optionsBtn->text(), QStringLiteral("&Options"));
    QCOMPARE(selectBtn->accessibleName(), QStringLiteral("Select files"));
    QCOMPARE(convertBtn->accessibleName(), QStringLiteral("Convert"));
    QCOMPARE(optionsBtn->accessibleName(), QStringLiteral("Options"));
    QCOMPARE(outputBtn->text(), QStringLiteral("..."));
    QCOMPARE(fileList->gridStyle(), Qt::NoPen);
    QVERIFY(!fileList->showGrid() || fileList->gridStyle() == Qt::NoPen);

    // Rows top to bottom: select, table, output folder, convert and options.
    auto *const top = qobject_cast<QVBoxLayout *>(form.layout());
    QVERIFY(top);
    QCOMPARE(top->count(), 4);
    auto *const row1 = qobject_cast<QHBoxLayout *>(top->itemAt(0)->layout());
    auto *const row3 = qobject_cast<QHBoxLayout *>(top->itemAt(2)->layout());
    auto *const row4 = qobject_cast<QHBoxLayout *>(top->itemAt(3)->layout());
    QVERIFY(row1 && row3 && row4);
    QCOMPARE(top->itemAt(1)->widget(), fileList);

    QCOMPARE(row1->count(), 2);
    QCOMPARE(row1->itemAt(0)->widget(), selectBtn);
    QVERIFY(row1->itemAt(1)->spacerItem());
    QCOMPARE(row3->count(), 2);
    QCOMPARE(row3->itemAt(0)->widget(), outputEdit);
    QCOMPARE(row3->itemAt(1)->widget(), outputBtn);
    QCOMPARE(row4->count(), 4);
    QCOMPARE(row4->itemAt(0)->widget(), convertBtn);
    QVERIFY(row4->itemAt(1)->spacerItem());
    // The target and its formats, shown beside the menu that chooses them.
    QCOMPARE(row4->itemAt(2)->widget(), form.findChild<QLabel *>(QStringLiteral("targetLabel")));
    QCOMPARE(row4->itemAt(3)->widget(), optionsBtn);
}

void tst_cMainWidgetForm::formKeepsAGivenName()
{
    QWidget widget;
    widget.setObjectName(QStringLiteral("alreadyNamed"));
    Ui::cMainWidget form;
    form.setupUi(&widget);
    QCOMPARE(widget.objectName(), QStringLiteral("alreadyNamed"));
    QCOMPARE(widget.size(), QSize(557, 555));

    QWidget unnamed;
    form.setupUi(&unnamed);
    QCOMPARE(unnamed.objectName(), QStringLiteral("cMainWidget"));
}

void tst_cMainWidgetForm::languageChangeReappliesTexts()
{
    cMainWidget form;
    auto *const selectBtn = form.findChild<QPushButton *>(QStringLiteral("selectBtn"));
    auto *const convertBtn = form.findChild<QPushButton *>(QStringLiteral("convertBtn"));
    auto *const optionsBtn = form.findChild<QPushButton *>(QStringLiteral("optionsBtn"));
    auto *const outputBtn = form.findChild<QToolButton *>(QStringLiteral("outputBtn"));
    for (QAbstractButton *button :
         std::initializer_list<QAbstractButton *>{selectBtn, convertBtn, optionsBtn, outputBtn})
        button->setText(QStringLiteral("changed"));
    form.setWindowTitle(QStringLiteral("changed"));

    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(&form, &change);

    QCOMPARE(form.windowTitle(), QStringLiteral("Form"));
    QCOMPARE(selectBtn->text(), QStringLiteral("&Select files"));
    QCOMPARE(convertBtn->text(), QStringLiteral("&Convert"));
    QCOMPARE(optionsBtn->text(), QStringLiteral("&Options"));
    // "..." is not a translatable text, so a language change leaves it alone.
    QCOMPARE(outputBtn->text(), QStringLiteral("changed"));
}

void tst_cMainWidgetForm::styleSheetEffects_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<bool>("hasIcon");
    QTest::addColumn<int>("pointSize");

    // A minimum of 0 means the style sheet sets none in that direction.
    QTest::newRow("outputEdit") << QStringLiteral("outputEdit") << QSize(0, 28) << false << -1;
    QTest::newRow("outputBtn") << QStringLiteral("outputBtn") << QSize(30, 29) << true << -1;
    QTest::newRow("selectBtn") << QStringLiteral("selectBtn") << QSize(150, 33) << true << 10;
    QTest::newRow("convertBtn") << QStringLiteral("convertBtn") << QSize(150, 33) << true << 10;
    QTest::newRow("optionsBtn, no icon") << QStringLiteral("optionsBtn") << QSize(150, 33) << false << 10;
}

void tst_cMainWidgetForm::styleSheetEffects()
{
    QFETCH(QString, name);
    QFETCH(QSize, minimum);
    QFETCH(bool, hasIcon);
    QFETCH(int, pointSize);

    // The program's own set-up, before its window exists.
    cMainWindow::setUpApplication();
    QVERIFY(!QApplication::windowIcon().isNull());

    cMainWidget form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *const widget = form.findChild<QWidget *>(name);
    QVERIFY(widget);
    // The style sheet's minimum is the content size; the widget's minimum adds
    // its border, so it is at least that. Where the sheet sets none, the
    // widget keeps none.
    if (minimum.width() == 0)
        QCOMPARE(widget->minimumWidth(), 0);
    else
        QVERIFY(widget->minimumWidth() >= minimum.width());
    QVERIFY(widget->minimumHeight() >= minimum.height());
    if (auto *const button = qobject_cast<QAbstractButton *>(widget)) {
        QCOMPARE(!button->icon().isNull(), hasIcon);
        if (hasIcon)
            QCOMPARE(button->iconSize(), QSize(24, 24));
    }
    if (pointSize > 0)
        QCOMPARE(widget->font().pointSize(), pointSize);
    qApp->setStyleSheet(QString());
}

void tst_cMainWidgetForm::iconsCarryEverySize_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QList<int>>("sizes");

    const QList<int> ten{256, 128, 96, 80, 72, 64, 48, 32, 24, 16};
    QTest::newRow("converter") << QStringLiteral(":/icon/converter.ico") << ten;
    QTest::newRow("play") << QStringLiteral(":/icon/play.ico") << ten;
    QTest::newRow("folder") << QStringLiteral(":/icon/folder.ico") << ten.mid(1);
}

void tst_cMainWidgetForm::iconsCarryEverySize()
{
    QFETCH(QString, path);
    QFETCH(QList<int>, sizes);

    QImageReader reader(path);
    QCOMPARE(reader.imageCount(), sizes.size());
    QList<int> found;
    for (int i = 0; i < reader.imageCount(); ++i) {
        QVERIFY(reader.jumpToImage(i));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.width(), image.height());
        QVERIFY(image.hasAlphaChannel());
        found << image.width();
    }
    QCOMPARE(found, sizes);
}

QTEST_MAIN(tst_cMainWidgetForm)
#include "tst_cmainwidgetform.moc"
