#include "tests/common/TestMain.h"
class T : public QObject { Q_OBJECT };
VENTARO_TEST_MAIN(T)
#include "test_scp.moc"
