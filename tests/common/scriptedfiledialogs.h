#pragma once
// File dialogs answered by the test: answer(path) or cancelNext() queues the next dialog's
// result (cancel when none is left); requests() records every dialog asked for.

#include <deque>
#include <vector>

#include "core/filedialogs.h"

namespace corvane::test {

class ScriptedFileDialogs : public FileDialogs {
public:
    void answer(const QString &path) { m_answers.push_back(path); }
    void cancelNext() { m_answers.push_back(std::nullopt); }
    const std::vector<FileDialogRequest> &requests() const { return m_requests; }

    std::optional<QString> openFile(const FileDialogRequest &request) override {
        return next(request);
    }
    std::optional<QString> saveFile(const FileDialogRequest &request) override {
        return next(request);
    }

private:
    std::optional<QString> next(const FileDialogRequest &request) {
        m_requests.push_back(request);
        if (m_answers.empty()) return std::nullopt;
        std::optional<QString> path = m_answers.front();
        m_answers.pop_front();
        return path;
    }

    std::deque<std::optional<QString>> m_answers;
    std::vector<FileDialogRequest> m_requests;
};

}  // namespace corvane::test
