#include "core/prompter.h"

namespace corvane {

QString programTitle() {
    return QStringLiteral("Corvane");
}

void ScriptedPrompter::message(const PromptMessage &msg) {
    m_messages.push_back(msg);
    if (m_observer) m_observer(msg);
    if (m_hook) m_hook(msg);
}

QStringList ScriptedPrompter::summary() const {
    QStringList out;
    for (const auto &m : m_messages) out << m.title + u'|' + m.text;
    return out;
}

}  // namespace corvane
