#include "charts/Fonts.h"

#include "app/Logging.h"

#include <QFontDatabase>

static void initFontResources()
{
    // Must stand outside any namespace; pulls the resource out of the static library.
    Q_INIT_RESOURCE(fonts);
}

namespace Fonts {

int load()
{
    static const int loaded = [] {
        initFontResources();
        int count = 0;
        for (const char* name : {"Roboto-Regular.ttf", "Roboto-Medium.ttf", "Roboto-Bold.ttf"}) {
            const QString file = QString::fromLatin1(name);
            if (QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/") + file) < 0)
                qCWarning(lcApp).noquote()
                    << QStringLiteral("Font file '%1' could not be loaded!").arg(file);
            else
                ++count;
        }
        return count;
    }();
    return loaded;
}

QString family()
{
    return QStringLiteral("Roboto");
}

} // namespace Fonts
