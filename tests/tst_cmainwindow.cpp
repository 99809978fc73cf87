#include <QtTest>
class tst_cMainWindow : public QObject { Q_OBJECT private slots: void x() {} };
QTEST_MAIN(tst_cMainWindow)
#include "tst_cmainwindow.moc"
