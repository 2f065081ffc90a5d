#pragma once

class QWidget;
class TSkin;

// The main window's skin component Skin1 as the program sets it up: Active,
// the program's SkinControls, and our own skin read from its SkinStream. The
// form calls Loaded() on it once its controls exist.
TSkin* CreateProgramSkin(QWidget* form);
