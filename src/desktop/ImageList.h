#pragma once

#include <QIcon>
#include <QList>
#include <QObject>

// An ordered list of same-sized images, the source of a cycling tray icon.
class TImageList : public QObject {
public:
    explicit TImageList(QObject* parent = nullptr) : QObject(parent) {}

    void Add(const QIcon& image) { images_.append(image); }
    int Count() const { return static_cast<int>(images_.size()); }
    // A null icon for an index outside the list.
    QIcon GetIcon(int index) const { return index >= 0 && index < Count() ? images_.at(index) : QIcon(); }

private:
    QList<QIcon> images_;
};
