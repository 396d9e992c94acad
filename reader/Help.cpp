#include "Help.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QShortcut>
#include <QUrl>
#include <QWidget>

#include "Widgets.h"

namespace {

constexpr char kContextProperty[] = "helpContext";

QStringList HelpFolders() {
    QStringList folders{QCoreApplication::applicationDirPath() + QStringLiteral("/ajuda")};
    const QString data = qEnvironmentVariable("FALAVOZ_DATA");
    if (!data.isEmpty()) folders << data + QStringLiteral("/ajuda");
    folders << QStringLiteral(FALAVOZ_DATADIR "/ajuda");
    return folders;
}

}  // namespace

void SetHelpContext(QWidget* widget, int context) { widget->setProperty(kContextProperty, context); }

int HelpContextOf(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget()) {
        const int context = widget->property(kContextProperty).toInt();
        if (context > 0) return context;
    }
    return 0;
}

QString HelpPage(int context) {
    for (const QString& folder : HelpFolders()) {
        const QString page = QStringLiteral("%1/%2.html").arg(folder).arg(context);
        if (QFileInfo::exists(page)) return page;
        const QString index = folder + QStringLiteral("/index.html");
        if (QFileInfo::exists(index)) return index;
    }
    return {};
}

void OpenHelp(int context, QWidget* parent) {
    const QString page = HelpPage(context);
    if (page.isEmpty()) {
        ShowMessageBox(QStringLiteral("Falavoz"),
                       QStringLiteral("A ajuda do Falavoz não está instalada (procurada em %1).")
                           .arg(HelpFolders().join(QStringLiteral(", "))),
                       QMessageBox::Warning, parent);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        ShowMessageBox(QStringLiteral("Falavoz"),
                       QStringLiteral("Não foi possível abrir a ajuda no navegador: %1").arg(page),
                       QMessageBox::Warning, parent);
}

void InstallHelpKey(QWidget* window) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, window, [window] {
        const QWidget* focused = window->focusWidget();
        OpenHelp(HelpContextOf(focused ? focused : window), window);
    });
}
