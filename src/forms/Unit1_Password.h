#pragma once

class TForm1;

// Installs the key filters of the main window's two new-password boxes
// (Edit_Pass_AKeyPress, Edit_Pass_BKeyPress): only backspace, digits and
// ASCII letters can be typed into them.
void InstallPasswordKeyFilters(TForm1* form);
