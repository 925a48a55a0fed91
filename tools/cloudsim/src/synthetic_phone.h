#pragma once
// The state of one synthetic phone and what input does to it. Thread-safe:
// input may come from any stream connection while streamers read snapshots.
// What the phone reports in answer (screen, clipboard, cursor, camera and
// microphone switches) goes to every observer, outside the phone's lock.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace cloudsim {

struct TouchMark {
    int x = 0;
    int y = 0;
};

struct PhoneState {
    bool landscape = false;
    int width = 720;
    int height = 1280;
    std::string text;        // contents of the text field
    bool focused = false;    // the text field has the input focus
    std::string clipboard;
    int volume = 8;          // 0..15; the tone's loudness
    bool shiftHeld = false;
    bool ctrlHeld = false;
    std::deque<TouchMark> marks;  // newest last
    bool touching = false;
    int openApp = -1;        // index into the layout's apps, -1 on the home grid
    bool cameraOn = false;
    bool micOn = false;
    uint64_t version = 0;    // grows with every visible change
};

struct PhoneReport {
    enum Kind { kScreen, kClipboard, kCursor, kCamera, kMicrophone };
    Kind kind = kScreen;
    int value = 0;  // rotation (screen), 1/0 (cursor, camera, microphone)
    std::string text;  // clipboard text
};

class SyntheticPhone {
public:
    static constexpr size_t kMaxMarks = 8;
    static constexpr int kMaxVolume = 15;
    static constexpr size_t kMaxTextBytes = 4096;

    // width x height: the screen in portrait (even numbers).
    SyntheticPhone(std::string instanceNo, std::string name, int width = 720, int height = 1280);

    const std::string& InstanceNo() const { return m_instanceNo; }
    const std::string& Name() const { return m_name; }
    PhoneState Snapshot() const;

    // action 0 down, 1 up, 2 move; points in screen coordinates of the current orientation.
    void Touch(int action, const std::vector<std::pair<int64_t, int64_t>>& points);
    // Linux input key code; down false is a release.
    void Key(int code, bool down);
    void InputText(const std::string& text);
    void SetClipboard(const std::string& text);
    // Quarter turns; odd values turn the screen to landscape.
    void SetRotation(int quarterTurns);

    using Observer = std::function<void(const PhoneReport&)>;
    int AddObserver(Observer observer);
    void RemoveObserver(int id);

private:
    void TapLocked(int x, int y, std::vector<PhoneReport>& reports);
    void SetFocusLocked(bool focused, std::vector<PhoneReport>& reports);
    void AppendTextLocked(const std::string& text);
    void Notify(const std::vector<PhoneReport>& reports);

    const std::string m_instanceNo;
    const std::string m_name;
    const int m_portraitWidth;
    const int m_portraitHeight;
    mutable std::mutex m_mutex;
    PhoneState m_state;
    std::mutex m_observerMutex;
    std::map<int, Observer> m_observers;
    int m_nextObserver = 1;
};

// The character a key code types, or 0; shift selects the upper row.
char KeyToChar(int code, bool shift);

}  // namespace cloudsim
