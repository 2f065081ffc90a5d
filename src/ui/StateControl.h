#pragma once

class QWidget;

// Makes a control one that only carries state for the program: the attempt
// counter, the logged-in marker, the selected record's number and the buttons
// that handlers press by code. It is never seen, and assistive tools (screen
// readers, anything on the accessibility bus) do not see it either: the
// logged-in marker holds the management password in plain text. The control
// keeps its parent, name, place and handlers.
void MakeStateControl(QWidget* control);
