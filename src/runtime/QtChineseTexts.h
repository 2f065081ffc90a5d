#pragma once

#include <QTranslator>

// Qt's own texts in Chinese, as a Chinese system shows them, whatever the
// user's locale: the buttons of message boxes ("是", "否", "确定") and the
// edit boxes' context menu (撤销, 剪切, 复制, 粘贴 ...), which would otherwise
// be English in a program whose every text is Chinese. In force while the
// object lives; where the translation is not installed, Qt's English stays.
class QtChineseTexts {
public:
    QtChineseTexts();

    bool Loaded() const { return loaded_; }

private:
    QTranslator translator_;
    bool loaded_ = false;
};
