#pragma once
// The seam between procedures and the user: modal messages with one OK button. The GUI
// shows them as message boxes, the command-line tool on stderr, tests script them.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace corvane {

enum class MessageIcon { None, Information, Exclamation, Critical };

struct PromptMessage {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
};

class Prompter {
public:
    virtual ~Prompter() = default;
    // Shows the message and returns when the user has closed it.
    virtual void message(const PromptMessage &msg) = 0;
    void message(const QString &text, const QString &title, MessageIcon icon) {
        message(PromptMessage{text, title, icon});
    }
    // The window whose procedure prompts from now on (null: none). The program shows its
    // messages modal to that window alone, so that other windows (the K3 Simulator's) stay
    // usable while a message waits. Prompters that wrap another pass it on.
    virtual void setOwner(QObject *owner) { m_owner = owner; }
    virtual QObject *owner() const { return m_owner; }

private:
    QPointer<QObject> m_owner;
};

// A window's procedure prompting: the window owns the prompter's messages for the scope of
// this object, then the previous owner again.
class PromptOwner {
public:
    PromptOwner(Prompter &prompter, QObject *owner)
        : m_prompter(prompter), m_previous(prompter.owner()) {
        m_prompter.setOwner(owner);
    }
    ~PromptOwner() { m_prompter.setOwner(m_previous); }
    PromptOwner(const PromptOwner &) = delete;
    PromptOwner &operator=(const PromptOwner &) = delete;

private:
    Prompter &m_prompter;
    QPointer<QObject> m_previous;
};

// The program's title, used where a message has no title of its own.
QString programTitle();

// Records every message; an optional hook acts while a message is "open" (for example
// presses Stop or switches the simulator's signal generator off).
class ScriptedPrompter : public Prompter {
public:
    using Hook = std::function<void(const PromptMessage &)>;
    void message(const PromptMessage &msg) override;
    void setHook(Hook hook) { m_hook = std::move(hook); }
    const std::vector<PromptMessage> &messages() const { return m_messages; }
    // "title|text" of every message, for compact assertions.
    QStringList summary() const;
    void clear() { m_messages.clear(); }
    // Called with each message before the hook; a trace can record it in order.
    void setObserver(Hook observer) { m_observer = std::move(observer); }

private:
    std::vector<PromptMessage> m_messages;
    Hook m_hook;
    Hook m_observer;
};

}  // namespace corvane
