#include <QtTest>
class tst_cMainWidgetForm : public QObject { Q_OBJECT private slots: void x() {} };
QTEST_MAIN(tst_cMainWidgetForm)
#include "tst_cmainwidgetform.moc"
