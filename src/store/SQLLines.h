#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// A statement held as a list of lines. The text sent to the database is the
// lines joined, each followed by CR LF. Every change is announced first, so the
// owning query can close its result before the statement changes under it.
class TSQLLines {
public:
    explicit TSQLLines(std::function<void()> beforeChange) : beforeChange_(std::move(beforeChange)) {}
    TSQLLines(const TSQLLines&) = delete;
    TSQLLines& operator=(const TSQLLines&) = delete;

    void Clear();
    // Adds one line; line breaks inside it stay part of that line.
    void Add(const QString& line);
    // Replaces all lines, splitting the text at CR LF, LF or CR.
    void SetText(const QString& text);

    QString Text() const;
    int Count() const { return static_cast<int>(lines_.size()); }
    const QString& operator[](int index) const { return lines_.at(index); }

private:
    std::function<void()> beforeChange_;
    QStringList lines_;
};
