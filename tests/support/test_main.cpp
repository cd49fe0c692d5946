// GoogleTest main with a Qt application, so that tests may use Qt's event loop and
// QStandardPaths the same way the programs do. Window tests get a widgets application on
// the offscreen platform unless another platform is asked for.
#include <gtest/gtest.h>

#ifdef PLATTERLY_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
#ifdef PLATTERLY_TEST_GUI
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    TestApplication app(argc, argv);
    TestApplication::setApplicationName(u"platterly-tests"_s);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
