#include "ui/StatusBar.h"

#include <QHBoxLayout>
#include <QLabel>

TStatusBar::TStatusBar(const std::vector<int>& panelWidths, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    for (size_t i = 0; i < panelWidths.size(); ++i) {
        auto* panel = new QLabel(this);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setIndent(2);
        panel->setTextFormat(Qt::PlainText);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i));
        const bool last = i + 1 == panelWidths.size();
        if (!last)
            panel->setFixedWidth(panelWidths[i]);
        else
            panel->setMinimumWidth(panelWidths[i]);
        layout->addWidget(panel, last ? 1 : 0);
        panels_.push_back(panel);
    }
}

QString TStatusBar::PanelText(int index) const
{
    return panels_.at(static_cast<size_t>(index))->text();
}

void TStatusBar::SetPanelText(int index, const QString& text)
{
    panels_.at(static_cast<size_t>(index))->setText(text);
}
