#pragma once

#include <QCoreApplication>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

// Every modal message box the program shows goes through this interface, so the windows
// never call QMessageBox themselves and tests can answer the boxes. All calls are made on
// the main thread and return only after the operator closed the box.
class OperatorDialogs {
public:
    enum class Icon { None, Information, Warning, Error, Question };

    virtual ~OperatorDialogs() = default;

    // A box with an OK button. Confirmations of the meter use an empty caption and no icon.
    virtual void ShowMessage(Icon icon, const QString& caption, const QString& text) = 0;
    // A Yes/No question; true when the operator chose Yes.
    virtual bool AskYesNo(const QString& caption, const QString& text) = 0;
    // The same question with smaller lines below it (what the answer will change). Boxes
    // that cannot set them apart show them after a blank line.
    virtual bool AskYesNoWithDetail(const QString& caption, const QString& text,
                                    const QString& detail) {
        return AskYesNo(caption, detail.isEmpty() ? text : text + QStringLiteral("\n\n") + detail);
    }
    // The same question with OK/Cancel buttons; true when the operator chose OK. Forms
    // without such a box answer it as a Yes/No question.
    virtual bool AskOkCancel(const QString& caption, const QString& text) {
        return AskYesNo(caption, text);
    }
    // The application's own error box for an unexpected failure (caption: the program's
    // name, error icon), used where a failure has no fixed text of its own.
    virtual void ShowDefaultError(const QString& text) = 0;
    // A box about a state of the line that may recur while it is on the screen (the line
    // lost again before the operator closed the first box): while the box of this `key`
    // is still open, a new call puts the new caption and text into it instead of stacking
    // another box over the windows. Returns at once; the program goes on meanwhile.
    // Dialogs that keep no boxes open (a benchmark's, a command line's) show each notice
    // as a message.
    virtual void ShowNotice(const QString& key, Icon icon, const QString& caption,
                            const QString& text) {
        Q_UNUSED(key);
        ShowMessage(icon, caption, text);
    }

    // What the notice of `key` told of is over (the line is back): its box closes if it is
    // still open, so nobody reads an old alarm as the present state. Nothing otherwise.
    virtual void CloseNotice(const QString& key) { Q_UNUSED(key); }

    // Shorthands for the kinds of box the windows use.
    void Inform(const QString& caption, const QString& text) {
        ShowMessage(Icon::None, caption, text);
    }
    void Warn(const QString& caption, const QString& text) {
        ShowMessage(Icon::Warning, caption, text);
    }
    void Error(const QString& caption, const QString& text) {
        ShowMessage(Icon::Error, caption, text);
    }
    // A write confirmed by the meter: empty caption, OK.
    void Confirm(const QString& text) { ShowMessage(Icon::None, QString(), text); }
    // The box every write command shows while the meter is not connected.
    void ShowNotConnected();

    // The window whose values the boxes of the moment are about, or null (the program's
    // main window). A question about a factory window's corrections must stay above that
    // window: parented to the main window it could sink below the window it asks about.
    QWidget* AboutWindow() const { return aboutWindow_; }
    // Makes the boxes shown while it lives modal to `window` and keeps them above it; the
    // window before it comes back at the end (windows that ask from within each other).
    class AskingFor {
    public:
        AskingFor(OperatorDialogs& dialogs, QWidget* window)
            : dialogs_(dialogs), before_(dialogs.aboutWindow_) {
            dialogs.aboutWindow_ = window;
        }
        ~AskingFor() { dialogs_.aboutWindow_ = before_; }
        AskingFor(const AskingFor&) = delete;
        AskingFor& operator=(const AskingFor&) = delete;

    private:
        OperatorDialogs& dialogs_;
        QWidget* before_;
    };

private:
    QWidget* aboutWindow_ = nullptr;
};

// The caption and text of the not-connected box (the trailing blank belongs to the text).
// Both are the untranslated texts; the box shows them in the desktop's language.
inline const QString kNotConnectedCaption =
    QStringLiteral(QT_TRANSLATE_NOOP("OperatorDialogs", "Communication Error"));
inline const QString kNotConnectedText =
    QStringLiteral(QT_TRANSLATE_NOOP("OperatorDialogs", "Please connect the meter first! "));

inline void OperatorDialogs::ShowNotConnected() {
    ShowMessage(Icon::None, QCoreApplication::translate("OperatorDialogs", "Communication Error"),
                QCoreApplication::translate("OperatorDialogs", "Please connect the meter first! "));
}

// The real boxes: QMessageBox, modal to the window they are about, else to `parent` (which
// may be null).
class MessageBoxDialogs : public OperatorDialogs {
public:
    explicit MessageBoxDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void ShowMessage(Icon icon, const QString& caption, const QString& text) override;
    bool AskYesNo(const QString& caption, const QString& text) override;
    bool AskYesNoWithDetail(const QString& caption, const QString& text,
                            const QString& detail) override;
    bool AskOkCancel(const QString& caption, const QString& text) override;
    void ShowDefaultError(const QString& text) override;
    void ShowNotice(const QString& key, Icon icon, const QString& caption,
                    const QString& text) override;
    void CloseNotice(const QString& key) override;

private:
    // The window a box is modal to: the one it is about, else the main window.
    QWidget* Parent() const { return AboutWindow() ? AboutWindow() : parent_; }

    QWidget* parent_;
    QMap<QString, QPointer<QObject>> notices_; // the open notice boxes (QMessageBox) by key
};
