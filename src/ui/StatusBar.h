#pragma once

#include <QWidget>

#include <vector>

class QLabel;

// A status bar of fixed-width text panels addressed by index; the last panel
// reaches to the right edge.
class TStatusBar : public QWidget {
    Q_OBJECT
public:
    // The height a window gives its status bar along its bottom edge.
    static constexpr int Height = 23;

    TStatusBar(const std::vector<int>& panelWidths, QWidget* parent = nullptr);

    int PanelCount() const { return static_cast<int>(panels_.size()); }
    QString PanelText(int index) const;
    void SetPanelText(int index, const QString& text);

private:
    std::vector<QLabel*> panels_;
};
