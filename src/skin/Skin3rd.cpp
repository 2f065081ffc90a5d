#include "skin/Skin3rd.h"

#include <QHash>
#include <QWidget>

QStringList BuiltinSkin3rd()
{
    return {
        QStringLiteral("QPushButton=button"),      QStringLiteral("QCommandLinkButton=bitbtn"),
        QStringLiteral("QToolButton=speedbutton"), QStringLiteral("QCheckBox=checkbox"),
        QStringLiteral("QRadioButton=radiobutton"), QStringLiteral("QComboBox=combobox"),
        QStringLiteral("QLineEdit=edit"),          QStringLiteral("QAbstractScrollArea=memo"),
        QStringLiteral("QAbstractSpinBox=spin"),   QStringLiteral("QGroupBox=groupbox"),
        QStringLiteral("QFrame=panel"),            QStringLiteral("QTabWidget=tab"),
        QStringLiteral("QTabBar=tab"),             QStringLiteral("QStatusBar=statusbar"),
        QStringLiteral("TStatusBar=statusbar"),    QStringLiteral("QProgressBar=progress"),
        QStringLiteral("QScrollBar=scrollbar"),    QStringLiteral("QSlider=trackbar"),
        QStringLiteral("QToolBar=toolbar"),        QStringLiteral("QDockWidget=controlbar"),
        QStringLiteral("QMenuBar=mainmenu"),       QStringLiteral("QMenu=popupmenu"),
    };
}

namespace {

// The lines as a table from class name to kind; the first line for a class counts.
QHash<QString, QString> KindsByClass(const QStringList& skin3rd)
{
    QHash<QString, QString> kinds;
    for (const QString& line : skin3rd) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        const QString className = line.left(equals).trimmed();
        if (!kinds.contains(className))
            kinds.insert(className, line.mid(equals + 1).trimmed().toLower());
    }
    return kinds;
}

} // namespace

QString SkinKindOf(const QWidget* widget, const QStringList& skin3rd)
{
    if (!widget)
        return {};
    // Asked at every drawing and measuring of every control, nearly always
    // with the same lines: the table is made again only when they change.
    // (Comparing with the kept copy is immediate while both share their data.)
    static QStringList tableLines;
    static QHash<QString, QString> kinds;
    if (skin3rd != tableLines) {
        kinds = KindsByClass(skin3rd);
        tableLines = skin3rd;
    }
    for (const QMetaObject* meta = widget->metaObject(); meta; meta = meta->superClass()) {
        const auto found = kinds.constFind(QString::fromLatin1(meta->className()));
        if (found != kinds.constEnd())
            return *found;
    }
    return {};
}

std::optional<TSkinControl> ControlKindOf(const QString& skinKind)
{
    static const QHash<QString, TSkinControl> controls{
        {QStringLiteral("button"), xcButton},         {QStringLiteral("bitbtn"), xcBitBtn},
        {QStringLiteral("speedbutton"), xcSpeedButton}, {QStringLiteral("checkbox"), xcCheckBox},
        {QStringLiteral("radiobutton"), xcRadioButton}, {QStringLiteral("combobox"), xcCombo},
        {QStringLiteral("edit"), xcEdit},             {QStringLiteral("memo"), xcEdit},
        {QStringLiteral("spin"), xcSpin},             {QStringLiteral("groupbox"), xcGroupBox},
        {QStringLiteral("panel"), xcPanel},           {QStringLiteral("tab"), xcTab},
        {QStringLiteral("statusbar"), xcStatusBar},   {QStringLiteral("progress"), xcProgress},
        {QStringLiteral("scrollbar"), xcScrollbar},   {QStringLiteral("trackbar"), xcTrackBar},
        {QStringLiteral("toolbar"), xcToolbar},       {QStringLiteral("controlbar"), xcControlbar},
        {QStringLiteral("mainmenu"), xcMainMenu},     {QStringLiteral("popupmenu"), xcPopupMenu},
    };
    const auto found = controls.constFind(skinKind);
    if (found == controls.constEnd())
        return std::nullopt;
    return *found;
}
