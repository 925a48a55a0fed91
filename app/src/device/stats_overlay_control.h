#pragma once
// Shows and hides a device view's statistics overlay: the title-bar button
// "statsButton" and Ctrl+Shift+S (which never reaches the phone) toggle it;
// the choice is remembered for the user; while shown, the figures are asked
// of the back end once a second.
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTimer>

#include <memory>

#include "device/stats_overlay.h"

class QKeyEvent;

namespace app {

class ChannelObjectInterface;
struct YunBaseViewLayout;

class StatsOverlayControl : public QObject {
    Q_OBJECT
public:
    // Adds the button to the view's title bar and the overlay over its picture.
    StatsOverlayControl(QWidget* view, const YunBaseViewLayout& ui);

    void SetChannel(std::shared_ptr<ChannelObjectInterface> channel);
    // Shows or hides the overlay and remembers the choice.
    void SetShown(bool shown);
    bool Shown() const { return m_shown; }
    void Toggle() { SetShown(!m_shown); }
    // Asks the back end for figures now (the timer does it once a second).
    void Refresh();

    // The view's key handlers ask these first; true: the key was the
    // shortcut (or the release of one of its keys) and goes no further.
    bool HandleKeyPress(QKeyEvent* event);
    bool HandleKeyRelease(QKeyEvent* event);

    StatsOverlay* Overlay() const { return m_overlay; }
    QPushButton* Button() const { return m_button; }

    // The remembered choice (the user's settings store).
    static bool Remembered();
    static void Remember(bool shown);

private:
    void Apply();

    QPointer<QWidget> m_view;
    QPointer<StatsOverlay> m_overlay;
    QPointer<QPushButton> m_button;
    std::shared_ptr<ChannelObjectInterface> m_channel;
    QTimer m_timer;
    bool m_shown = false;
    QSet<int> m_swallowReleases;  // keys of the shortcut still held
};

}  // namespace app
