#pragma once
// The window wired to FTP servers on loopback: every status text is recorded
// in order, and the window's buttons are clicked as a user would.
#include "WindowFixture.h"

#include "harness/FtpFiles.h"

#include <QStringList>
#include <functional>

class WorkflowFixture : public WindowFixture {
protected:
    // The server's news and a release information file newer than the installed one.
    void ServeNews(harness::FtpFiles &files);

    MainWindow &StartRecording();
    void Click(const char *button);
    // Runs Action once, when a status text matching Pattern is shown.
    void OnStatusOnce(const QString &pattern, std::function<void()> action);

    // Fails unless every pattern (a full-match regular expression) matches
    // one status text, in this order.
    void ExpectStatusesInOrder(const QStringList &patterns) const;

    QStringList statuses;

    static const char *NewsRtf;
    static const char *ServerRelease;
};
