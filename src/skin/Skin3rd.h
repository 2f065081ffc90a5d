#pragma once

#include "skin/SkinSettings.h"

#include <QStringList>

#include <optional>

class QWidget;

// Skin3rd lines: "class name=skin kind". A control of a listed class (or of a
// class derived from one) is skinned as the named kind; the nearest class in
// its ancestry decides.

// Our list for the Qt control classes the engine skins.
QStringList BuiltinSkin3rd();

// The skin kind of a widget under the given lines, lower case; empty when no
// class of its ancestry is listed.
QString SkinKindOf(const QWidget* widget, const QStringList& skin3rd);

// The control kind a skin kind belongs to, for the SkinControls test; nothing
// for an unknown kind.
std::optional<TSkinControl> ControlKindOf(const QString& skinKind);
