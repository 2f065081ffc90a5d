#pragma once

#include "skin/SkinManager.h"
#include "skin/Skins.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// Lets events be processed until the condition holds or the time is up.
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 2000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

inline void ProcessEventsFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

// A fresh skin manager per test, and a main form with the program's skin
// component, loaded as the main window loads it.
class SkinFixture : public ::testing::Test {
protected:
    SkinFixture()
    {
        TSkinManager::DestroyInstance();
        mainForm = std::make_unique<QWidget>();
        mainForm->setObjectName(QStringLiteral("MainForm"));
        mainForm->resize(300, 200);
        skin = new TSkin(mainForm.get());
        skin->SetActive(true);
        skin->SkinControls = ProgramSkinControls();
    }
    ~SkinFixture() override
    {
        windows.clear();
        mainForm.reset();
        TSkinManager::DestroyInstance();
    }

    // Reads our skin and loads the component.
    void LoadSkin(bool withSkin = true)
    {
        if (withSkin)
            skin->ReadSkinStream(ProgramSkinStream());
        skin->Loaded();
    }
    TSkinManager& Manager() { return *TSkinManager::Instance(); }

    // A top-level window of the test, shown and made active.
    template <class Window = QWidget>
    Window* ShowWindow(QSize size = {240, 160})
    {
        auto window = std::make_unique<Window>();
        window->resize(size);
        Window* raw = window.get();
        windows.push_back(std::move(window));
        raw->show();
        raw->activateWindow();
        QApplication::processEvents();
        return raw;
    }
    bool Skinned(const QWidget* window) { return Manager().SkinnedWindow(window) != nullptr; }

    std::unique_ptr<QWidget> mainForm;
    TSkin* skin = nullptr;
    std::vector<std::unique_ptr<QWidget>> windows;
};
