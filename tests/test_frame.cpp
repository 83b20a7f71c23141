#include "app/AppFrame.h"
#include "app/Constants.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TestMain.h"
#include "widgets/flat/FlatStyle.h"

#include <QFontDatabase>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

class TestFrame : public QObject
{
    Q_OBJECT

private slots:
    void fontsAreCompiledIn();
    void styleSheetAppliesItsColours();
    void theme();
    void splashPictureIsCompiledIn();
    void fileToOpen_data();
    void fileToOpen();
};

void TestFrame::fontsAreCompiledIn()
{
    QCOMPARE(AppFrame::loadFonts(), 3);
    const QStringList styles = QFontDatabase().styles(QStringLiteral("Roboto"));
    QVERIFY2(styles.contains(QStringLiteral("Bold")), qPrintable(styles.join(QLatin1Char(','))));
    QVERIFY(styles.contains(QStringLiteral("Medium")));
}

void TestFrame::styleSheetAppliesItsColours()
{
    // A syntax fault anywhere in the sheet makes Qt drop it; painted pixels show that the
    // sheet as a whole is taken.
    qApp->setStyleSheet(AppFrame::globalStyleSheet());
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* toolBar = new QToolBar;
    toolBar->setMinimumSize(200, 40);
    auto* button = new QPushButton(QStringLiteral(" "));
    button->setMinimumSize(200, 60);
    layout->addWidget(toolBar);
    layout->addWidget(button);
    window.resize(300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage buttonImage = button->grab().toImage();
    QCOMPARE(buttonImage.pixelColor(buttonImage.width() / 2, buttonImage.height() / 2),
             qColorPrimary);
    const QImage barImage = toolBar->grab().toImage();
    QCOMPARE(barImage.pixelColor(barImage.width() - 5, 10), qColorGray555);
    QCOMPARE(button->font().family(), QStringLiteral("Roboto"));
    QCOMPARE(button->font().pixelSize(), 16);
    qApp->setStyleSheet(QString());
}

void TestFrame::theme()
{
    FlatTheme defaults;
    QCOMPARE(defaults.getColor(QStringLiteral("primary1")), QColor(QStringLiteral("#00bcd4")));
    QCOMPARE(defaults.getColor(QStringLiteral("text")), QColor::fromRgbF(0, 0, 0, 0.87));
    QCOMPARE(defaults.getColor(QStringLiteral("border")), QColor(QStringLiteral("#e0e0e0")));

    AppFrame::setupTheme();
    const FlatTheme& theme = FlatStyle::instance().theme();
    const QStringList primaryKeys = {QStringLiteral("primary1"), QStringLiteral("accent1"),
                                     QStringLiteral("text")};
    for (const QString& key : primaryKeys)
        QCOMPARE(theme.getColor(key), qColorPrimary);
    QCOMPARE(theme.getColor(QStringLiteral("border")), QColor(QStringLiteral("#9e9e9e")));
    QCOMPARE(theme.getColor(QStringLiteral("canvas")), QColor(Qt::white));
    QCOMPARE(theme.getColor(QStringLiteral("disabled")), QColor::fromRgbF(0, 0, 0, 0.26));

    LogCapture log;
    QVERIFY(!theme.getColor(QStringLiteral("primary4")).isValid());
    QVERIFY(log.contains(
        QStringLiteral("A theme color matching the key 'primary4' could not be found.")));
}

void TestFrame::splashPictureIsCompiledIn()
{
    for (const QString& path :
         {QStringLiteral(":/icons/Splashscreen-2.png"), logoPath, QStringLiteral(":/icons/up.png"),
          QStringLiteral(":/icons/down.png"), QStringLiteral(":/icons/up-disabled.png"),
          QStringLiteral(":/icons/down-disabled.png")})
        QVERIFY2(!QImage(path).isNull(), qPrintable(path));
}

void TestFrame::fileToOpen_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("file");
    QTest::newRow("none") << QStringList{QStringLiteral("ventaro")} << QString();
    QTest::newRow("one") << QStringList{QStringLiteral("ventaro"), QStringLiteral("a b.mvx")}
                         << QStringLiteral("a b.mvx");
    QTest::newRow("two") << QStringList{QStringLiteral("ventaro"), QStringLiteral("a.mvx"),
                                        QStringLiteral("b.mvx")}
                         << QString();
}

void TestFrame::fileToOpen()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);
    QCOMPARE(AppFrame::fileToOpen(arguments), file);
}

VENTARO_TEST_MAIN(TestFrame)
#include "test_frame.moc"
