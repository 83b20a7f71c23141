#include "app/AppFrame.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "charts/Fonts.h"
#include "widgets/MessageBoxFit.h"
#include "widgets/flat/FlatStyle.h"
#include "widgets/flat/FlatTheme.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPixmap>
#include <QSplashScreen>
#include <QStyleFactory>
#include <QThread>

static void initVentaroResources()
{
    // Q_INIT_RESOURCE must be used outside of any namespace and pulls the resource
    // object out of the static library.
    Q_INIT_RESOURCE(ventaro);
}

void AppFrame::registerResources()
{
    initVentaroResources();
}

int AppFrame::loadFonts()
{
    return Fonts::load();
}

QString AppFrame::globalStyleSheet()
{
    QString s;
    s += "QWidget { font-family: Roboto; font-size: 18px; }";
    s += "QScrollArea { border: 0px; }";
    s += "QLabel { color: black; min-height: 30px; }";
    s += "QLabel#tmpHelpLabel { color: transparent; min-height: 30px; }";
    s += "QLabel:disabled { color: darkGray; min-height: 30px; }";
    s += "QGroupBox { background-color: " + colorWhite + "; color: " + colorPrimary +
         "; margin-top: 20px; margin-left: 0px; border: 0px; }";
    s += "QGroupBox:disabled { color: darkGray; }";
    // No colour for line edits: a style sheet colour would paint the grey placeholder texts
    // black as well, so that an example looks like an entry. The palette's text is black.
    s += "QLineEdit { min-height: 30px; }";
    s += "QTextEdit { color: " + colorBlack + "; background-color: " + colorWhite +
         "; border: 1px solid " + colorDarkGray + "; min-height: 30px; }";
    s += "QTextEdit:focus { border: 2px solid " + colorPrimary + "; }";
    s += "NormalDistributionWidget { color: " + colorBlack + "; background-color: " + colorWhite +
         "; border: 1px solid " + colorDarkGray + "; min-height: 30px; }";
    s += "QScrollBar { border: 1px solid #CCC; min-height: 30px; }";
    s += "QScrollBar::left-arrow { subcontrol-origin: border; subcontrol-position: left; "
         "height: 30px; width: 30px; }";
    s += "QScrollBar::right-arrow { subcontrol-origin: border; subcontrol-position: right; "
         "height: 30px; width: 30px; }";
    s += "QComboBox { min-height: 25px; min-width: 25px; padding: 2px; }";
    s += "QCheckBox { background-color: " + colorWhite +
         "; min-height: 25px; min-width: 25px; padding: 2px; }";
    s += "QCheckBox:indicator { min-height: 22px; min-width: 22px; color: red; }";
    s += "AnalogBarDouble { background-color: red; }";
    s += "OsziWidget { background-color: " + colorWhite + "; }";
    s += "QFrame { }";
    s += "QFrame[frameShape=\"5\"] { color: green; }";
    s += "QMessageBox { background: " + colorPrimary +
         "; font-size: 32px; color: white; min-height: 600px; min-width: 800px; "
         "padding: 10px; }";
    // The least size is meant for the texts: given to the icon's label too, it pushed the
    // text beside it out of the box.
    s += "QMessageBox QLabel { font-size: 24px; color: white; padding: 10px; }";
    s += "QMessageBox QLabel#qt_msgbox_label, QMessageBox QLabel#qt_msgbox_informativelabel "
         "{ min-height: 200px; min-width: 600px; }";
    s += "QMessageBox QPushButton { font-size: 24px; color: white; min-height: 50px; "
         "min-width: 100px; padding: 10px; }";
    s += "QHeaderView::section { background-color: " + colorPrimary +
         "; color: white; padding-left: 4px; padding-right: 4px; border: 1px solid " +
         colorDarkGray + "; }";
    s += "QToolBar { background-color: " + colorGray555 +
         "; border: 0; padding: 0; spacing: 10px; height: 30px; border-bottom: 1px solid " +
         colorGrayAAA + "; }";
    s += "QToolBar QWidget { background-color: " + colorGray555 + "; }";
    s += "QToolBar QToolButton { border: 0px; font: bold 24px; color: " + colorWhite + "; }";
    s += "QToolBar QToolButton:disabled { color: " + colorGrayAAA + "; }";
    s += "QToolBar QLabel { border: 0px; font: bold 24px; color: " + colorGrayAAA + "; }";
    s += "QToolBar::separator { border: 0px; padding: 0px; height: 24px; width: 1px; "
         "background-color: " +
         colorWhite + "; }";
    s += "QToolBar QToolButton:checked { background-color: red; color: orange; }";
    s += "QMenu { color: black; font-family: Roboto; font: 24px; min-height: 35px; }";
    s += "QMenu::item:selected { color: " + colorWhite + "; background-color: " + colorPrimary +
         "; font-family: Roboto; font: 24px; min-height: 35px; }";
    s += "QMenu::icon:selected { background-color: green; min-height: 35px; }";
    s += "QTabWidget { border: 2px solid red; background-color: red; }";
    s += "QTabBar::tab { background-color: " + colorGrayEEE +
         "; border-top: 0px; border-left: 7px solid " + colorGray555 +
         "; border-bottom: 1px solid " + colorGrayAAA +
         "; border-right: 0px; font: bold 24px; min-height: 70px; min-width: 150px; }";
    s += "QTabBar::tab:selected { background-color: " + colorWhite + "; border-left: 10px solid " +
         colorPrimary + "; }";
    s += "QTabBar::tab:disabled { background-color: " + colorGrayEEE + "; border-left: 7px solid " +
         colorGrayAAA + "; }";
    s += "QTabBar::tab QLabel { text-color: " + colorGray555 + "; text-align: left; }";
    s += "QTabWidget::pane { border: 0px; background-color: " + colorWhite +
         "; border-width: 0px; border-style: solid; border-color: green; }";

    // The two spin box kinds differ only in width, padding and the buttons' border width.
    const auto spinBox = [&s](const QString& type, const QString& minWidth, const QString& padding,
                              const QString& buttonBorder) {
        s += type + " { min-height: 30px; min-width: " + minWidth + "; padding: " + padding +
             "; border: 1px solid " + colorGrayAAA + "; border-radius: 3px; }";
        s += type + ":disabled { border: 1px solid #CCC; color: #CCC; }";
        s += type +
             "::up-button { subcontrol-origin: border; subcontrol-position: right; "
             "width: 30px; height: 30px; border-image: url(:/icons/up.png) 1;" +
             buttonBorder + " }";
        s += type + "::up-button:disabled { border-image: url(:/icons/up-disabled.png) 1; }";
        s += type +
             "::down-button { subcontrol-origin: border; subcontrol-position: left; "
             "width: 30px; height: 30px; border-image: url(:/icons/down.png) 1;" +
             buttonBorder + " }";
        s += type + "::down-button:disabled { border-image: url(:/icons/down-disabled.png) 1; }";
    };
    spinBox(QStringLiteral("QDoubleSpinBox"), QStringLiteral("80px"), QStringLiteral("2px"),
            QStringLiteral(" border-width: 1px;"));
    spinBox(QStringLiteral("QSpinBox"), QStringLiteral("85px"), QStringLiteral("0px"), QString());

    s += "QPushButton { border: 0px solid #999; border-radius: 3px; padding: 0px; color: " +
         colorWhite + "; background-color: " + colorPrimary +
         "; font-size: 16px; min-height: 40px; min-width: 50px; }";
    s += "QPushButton:checked { background-color: " + colorPrimary + "; color: " + colorWhite +
         "; }";
    s += "QPushButton:disabled { color: #CCC; background-color: gray; }";
    s += "ColoredButton { border: 0px solid #999; border-radius: 3px; padding: 0px; "
         "font-size: 20px; min-height: 30px; min-width: 50px; }";
    s += "ColoredButton:checked { }";
    s += "ColoredButton:disabled { color: #CCC; background-color: gray; }";
    s += "QToolButton { border: 1px solid #999; padding: 1px; color: black; background-color: " +
         colorGray555 + "; font-size: 16px; min-height: 30px; min-width: 60px; }";
    s += "QToolButton:disabled { color: #CCC; }";
    s += "QRadioButton { border-radius: 3px; min-height: 40px; min-width: 50px; padding: 0px; }";
    s += "QRadioButton::indicator { width: 0px; height: 0px; }";
    s += "QRadioButton:checked { background-color: " + colorPrimary + "; border: 1px solid " +
         colorPrimary + "; color: white; }";
    s += "QRadioButton:unchecked { background-color: " + colorGrayAAA + "; border: 1px solid " +
         colorGrayAAA + "; color: black; }";
    s += "QRadioButton:disabled { border: 0px solid #CCC; color: #CCC; }";
    return s;
}

void AppFrame::setupTheme()
{
    auto* theme = new FlatTheme;
    theme->setColor(QStringLiteral("primary1"), qColorPrimary);
    theme->setColor(QStringLiteral("primary2"), Material::cyan700);
    theme->setColor(QStringLiteral("primary3"), Material::lightBlack);
    theme->setColor(QStringLiteral("accent1"), qColorPrimary);
    theme->setColor(QStringLiteral("accent2"), Material::grey100);
    theme->setColor(QStringLiteral("accent3"), Material::grey500);
    theme->setColor(QStringLiteral("text"), qColorPrimary);
    theme->setColor(QStringLiteral("alternateText"), Material::white);
    theme->setColor(QStringLiteral("canvas"), qColorWhite);
    theme->setColor(QStringLiteral("border"), Material::grey500);
    theme->setColor(QStringLiteral("disabled"), Material::minBlack);
    theme->setColor(QStringLiteral("disabled2"), Material::faintBlack);
    theme->setColor(QStringLiteral("disabled3"), Material::grey300);
    FlatStyle::instance().setTheme(theme);
}

void AppFrame::applyLook(QApplication& app)
{
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    app.setStyleSheet(globalStyleSheet());
    setupTheme();
    // Once per application: every message box, wherever it is raised, shows its text whole.
    if (!app.findChild<MessageBoxFit*>())
        app.installEventFilter(new MessageBoxFit(&app));
}

void AppFrame::showSplash(int milliseconds)
{
    QPixmap picture(QStringLiteral(":/icons/Splashscreen-2.png"));
    if (!picture.isNull())
        picture = picture.scaledToWidth(1200, Qt::FastTransformation);
    QSplashScreen splash(picture, Qt::WindowStaysOnTopHint);
    splash.show();
    QCoreApplication::processEvents();
    QThread::msleep(static_cast<unsigned long>(milliseconds));
    splash.close();
}

QString AppFrame::fileToOpen(const QStringList& arguments)
{
    return arguments.size() == 2 ? arguments.at(1) : QString();
}
