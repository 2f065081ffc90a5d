#pragma once

#include <QString>

class QWidget;

namespace transfer {
class ImportPreview;
}

// The look before an import writes anything (object name "ImportPreview",
// title "导入预览"): the file's kind ("Kind"); its encoding in a box
// ("Encoding") that reads the file again in another, with a note when the
// guess is unsure ("EncodingNote"); the list "Sources" of a table's columns
// or of the cards' properties with where each goes, a column's choice edited
// in one box at a time ("Target<row>"), however many columns there are; the
// first records as they will land ("FirstRecords", duplicates marked
// "重复"); what reading repaired or skipped, line by line ("Repairs"); how
// many records there are, how many duplicate the book and how many will be
// added ("Summary"); "跳过重复" (the default) or "全部导入"; and the buttons
// "导入" and "取消". A table with no column recognised says so
// ("Unrecognised") and waits for the user's choices. A change of a column or
// of the encoding reads the file again under the progress dialog. Answers
// true when the user chose "导入"; the preview then holds the choices.
bool ShowImportPreview(QWidget* window, const QString& fileName, transfer::ImportPreview& preview);

// Reads the whole file with the preview's current choices on a thread of its
// own under the progress dialog ("正在读取..."), and adopts what it found.
// False when the user cancelled. FileFormatError passes through.
bool SurveyWithProgress(QWidget* window, transfer::ImportPreview& preview);
