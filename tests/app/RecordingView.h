#pragma once
// The window's logic without a window: a FormView that keeps what the logic
// shows, as a window would, and records in order what passes (status texts,
// boxes, cursors).
#include "app/FormView.h"

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

class RecordingView : public FormView {
public:
    // What the proxy box's reaction runs (the logic's CheckBoxProxyClick).
    std::function<void()> proxyClick;

    void SetCaption(const std::string &text) override { caption = text; }
    void ShowNewsPage() override { newsPageShown = true; }
    std::string FieldText(TField field) const override
    {
        const auto found = fields.find(field);
        return found == fields.end() ? std::string() : found->second;
    }
    void SetFieldText(TField field, const std::string &text) override { fields[field] = text; }
    bool ProxyChecked() const override { return proxyChecked; }
    // Like a check box, it reacts only to a change.
    void SetProxyChecked(bool checked) override
    {
        if (checked == proxyChecked)
            return;
        proxyChecked = checked;
        if (proxyClick)
            proxyClick();
    }
    void SetProxyFieldsEnabled(bool enabled) override { proxyFieldsEnabled = enabled; }
    void SetTestButtonVisible(bool visible) override { testButtonVisible = visible; }
    void SetProgramText(const std::string &text) override { programText = text; }
    void SetVerdictText(const std::string &text) override { verdictText = text; }
    void SetVerdictLook(TVerdictLook look) override { verdictLook = look; }
    void ResetIndicators() override { indicators.clear(); }
    void ShowIndicator(TIndicator indicator) override { indicators.insert(indicator); }
    void ShowNews(const std::string &content, bool complete) override
    {
        news = content;
        newsComplete = complete;
    }
    void FocusNews() override { newsFocused = true; }
    bool StatusBarExists() const override { return true; }
    void SetStatusText(const std::string &text) override { statuses.push_back(text); }
    void SetCursors(TCursor cursor) override { cursors.push_back(cursor); }
    void Repaint() override {}
    void Close() override { closed = true; }
    void ShowErrorMessage(const std::string &text) override { errorMessages.push_back(text); }
    void ShowMessageDialog(const std::string &text) override { messageDialogs.push_back(text); }

    std::string caption;
    bool newsPageShown = false;
    std::map<TField, std::string> fields;
    // The form's start: the box unchecked, its fields disabled.
    bool proxyChecked = false;
    bool proxyFieldsEnabled = false;
    std::optional<bool> testButtonVisible;
    std::string programText;
    std::string verdictText;
    std::optional<TVerdictLook> verdictLook;
    std::set<TIndicator> indicators;
    std::optional<std::string> news;
    bool newsComplete = false;
    bool newsFocused = false;
    std::vector<std::string> statuses;
    std::vector<TCursor> cursors;
    bool closed = false;
    std::vector<std::string> errorMessages;
    std::vector<std::string> messageDialogs;
};
