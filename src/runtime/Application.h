#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <exception>
#include <functional>
#include <utility>

// The application object: title, the show-main-form setting, the main form, the
// message loop, and the default error report that every event handler runs under.
class TApplication : public QObject {
    Q_OBJECT
public:
    // exeName: full path of the running executable; the program folder is its
    // folder. Tests pass a path inside a temporary program folder.
    explicit TApplication(QString exeName, QObject* parent = nullptr);
    ~TApplication() override;
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    QString Title = QStringLiteral("Quillory");

    // Whether Run shows the main form when the loop starts.
    bool ShowMainForm = true;

    QWidget* MainForm() const { return mainForm_; }
    // The first form created becomes the main form once its creation has finished.
    void SetMainForm(QWidget* form) { mainForm_ = form; }

    const QString& ExeName() const { return exeName_; }
    // The executable's folder with its trailing delimiter; every program file is
    // this folder + file name.
    QString ProgramFolder() const;

    // Runs the message loop until Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Lets pending events be processed (timers may tick inside).
    void ProcessMessages();

    // The default error report: a modal box with the error's text, captioned with the title.
    void ShowException(const std::exception& error);

    // Runs one event handler; an error that leaves it goes to the default error
    // report and the program keeps running. After a handler of the outer loop
    // (not one run inside another handler, such as a timer served by a message
    // box's own loop) OnEventHandled runs, also under the error report.
    template <class Handler>
    void Dispatch(Handler&& handler) noexcept
    {
        ++depth_;
        Guarded(std::forward<Handler>(handler));
        if (depth_ == 1 && OnEventHandled)
            Guarded(OnEventHandled);
        --depth_;
    }

    // Runs after each event the program has handled, once the handler is done
    // and its error, if any, reported: the place for a rule about the state
    // the program waits in for the next event.
    std::function<void()> OnEventHandled;

signals:
    void terminating();

private:
    template <class Handler>
    void Guarded(Handler&& handler) noexcept
    {
        try {
            std::forward<Handler>(handler)();
        } catch (const std::exception& error) {
            ShowException(error);
        } catch (...) {
            ShowUnknownException();
        }
    }

    void ShowUnknownException();
    // A modal box with one OK button, captioned with the title.
    void Report(const QString& text);

    QString exeName_;
    QPointer<QWidget> mainForm_;
    bool terminated_ = false;
    int depth_ = 0;  // handlers running, one inside another
};

// The one application object of the process (null before it is made).
extern TApplication* Application;

// Binds a form's event handler (which takes its sender) to a Qt signal
// through the dispatcher: connect(button, &QPushButton::clicked, form, Bind(form, &TForm1::Button1Click, button)).
template <class Form>
auto Bind(Form* form, void (Form::*handler)(QObject*), QObject* sender)
{
    return [form, handler, sender] { Application->Dispatch([&] { (form->*handler)(sender); }); };
}
