#include "WorkflowFixture.h"

#include "platform/CodePage.h"

#include <QRegularExpression>
#include <QStatusBar>
#include <QToolButton>

const char *WorkflowFixture::NewsRtf =
    "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}"
    "\\pard\\b Nowo\\'9cci w wersji 4.3\\b0\\par\\bullet  Szybsze wyszukiwanie zada\\'f1\\par}";
const char *WorkflowFixture::ServerRelease = "[Program]\r\nWersja=4.3\r\nWydanie=1\r\nWydanie_Dod=a\r\nLastUpd=2026/11/20\r\n";

void WorkflowFixture::ServeNews(harness::FtpFiles &files)
{
    files.Write("pub/news/or_news.rtf", NewsRtf);
    files.Write("pub/news/or_news.inf", ServerRelease);
}

MainWindow &WorkflowFixture::StartRecording()
{
    Start();
    QObject::connect(Find<QStatusBar>("StatusBar1"), &QStatusBar::messageChanged, window.get(),
                     [this](const QString &text) {
                         if (!text.isEmpty())
                             statuses << text;
                     });
    return *window;
}

void WorkflowFixture::Click(const char *button)
{
    Find<QToolButton>(button)->click();
}

void WorkflowFixture::OnStatusOnce(const QString &pattern, std::function<void()> action)
{
    auto fired = std::make_shared<bool>(false);
    QObject::connect(Find<QStatusBar>("StatusBar1"), &QStatusBar::messageChanged, window.get(),
                     [pattern, action, fired](const QString &text) {
                         if (!*fired && QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(text).hasMatch()) {
                             *fired = true;
                             action();
                         }
                     });
}

void WorkflowFixture::ExpectStatusesInOrder(const QStringList &patterns) const
{
    qsizetype at = 0;
    for (const QString &pattern : patterns) {
        const QRegularExpression expression(QRegularExpression::anchoredPattern(pattern),
                                            QRegularExpression::DotMatchesEverythingOption);
        while (at < statuses.size() && !expression.match(statuses[at]).hasMatch())
            ++at;
        if (at == statuses.size()) {
            ADD_FAILURE() << "no status matching \"" << pattern.toStdString() << "\" in order; shown:\n"
                          << statuses.join(" | ").toStdString();
            return;
        }
        ++at;
    }
}
