#include "synthetic_phone.h"

#include <algorithm>

#include "phone_layout.h"

namespace cloudsim {
namespace {

constexpr int kKeyBackspace = 14;
constexpr int kKeyEnter = 28;
constexpr int kKeyLeftCtrl = 29;
constexpr int kKeyLeftShift = 42;
constexpr int kKeyRightShift = 54;
constexpr int kKeyRightCtrl = 97;
constexpr int kKeyC = 46;
constexpr int kKeyV = 47;
constexpr int kKeyVolumeDown = 114;
constexpr int kKeyVolumeUp = 115;
constexpr int kKeyMenu = 139;
constexpr int kKeyBack = 158;
constexpr int kKeyHome = 172;

// Linux key codes 2..53 and what they type without and with shift.
struct KeyChars {
    int code;
    char plain;
    char shifted;
};
constexpr KeyChars kKeyChars[] = {
    {2, '1', '!'},  {3, '2', '@'},  {4, '3', '#'},  {5, '4', '$'},   {6, '5', '%'},  {7, '6', '^'},
    {8, '7', '&'},  {9, '8', '*'},  {10, '9', '('}, {11, '0', ')'},  {12, '-', '_'}, {13, '=', '+'},
    {16, 'q', 'Q'}, {17, 'w', 'W'}, {18, 'e', 'E'}, {19, 'r', 'R'},  {20, 't', 'T'}, {21, 'y', 'Y'},
    {22, 'u', 'U'}, {23, 'i', 'I'}, {24, 'o', 'O'}, {25, 'p', 'P'},  {26, '[', '{'}, {27, ']', '}'},
    {30, 'a', 'A'}, {31, 's', 'S'}, {32, 'd', 'D'}, {33, 'f', 'F'},  {34, 'g', 'G'}, {35, 'h', 'H'},
    {36, 'j', 'J'}, {37, 'k', 'K'}, {38, 'l', 'L'}, {39, ';', ':'},  {40, '\'', '"'}, {41, '`', '~'},
    {43, '\\', '|'}, {44, 'z', 'Z'}, {45, 'x', 'X'}, {46, 'c', 'C'}, {47, 'v', 'V'}, {48, 'b', 'B'},
    {49, 'n', 'N'}, {50, 'm', 'M'}, {51, ',', '<'}, {52, '.', '>'},  {53, '/', '?'}, {57, ' ', ' '},
};

// Removes the last UTF-8 character.
void PopCharacter(std::string& text) {
    while (!text.empty()) {
        const unsigned char last = static_cast<unsigned char>(text.back());
        text.pop_back();
        if ((last & 0xC0) != 0x80) break;
    }
}

}  // namespace

char KeyToChar(int code, bool shift) {
    for (const auto& entry : kKeyChars) {
        if (entry.code == code) return shift ? entry.shifted : entry.plain;
    }
    return 0;
}

SyntheticPhone::SyntheticPhone(std::string instanceNo, std::string name, int width, int height)
    : m_instanceNo(std::move(instanceNo)), m_name(std::move(name)), m_portraitWidth(width), m_portraitHeight(height) {
    m_state.width = width;
    m_state.height = height;
}

PhoneState SyntheticPhone::Snapshot() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_state;
}

void SyntheticPhone::SetFocusLocked(bool focused, std::vector<PhoneReport>& reports) {
    if (m_state.focused == focused) return;
    m_state.focused = focused;
    PhoneReport report;
    report.kind = PhoneReport::kCursor;
    report.value = focused ? 1 : 0;
    reports.push_back(report);
}

void SyntheticPhone::AppendTextLocked(const std::string& text) {
    const size_t room = kMaxTextBytes - std::min(kMaxTextBytes, m_state.text.size());
    m_state.text.append(text, 0, std::min(room, text.size()));
}

void SyntheticPhone::TapLocked(int x, int y, std::vector<PhoneReport>& reports) {
    const PhoneLayout layout = LayoutFor(m_state.width, m_state.height);
    SetFocusLocked(layout.textField.Contains(x, y), reports);
    for (const auto& key : layout.navKeys) {
        if (!key.area.Contains(x, y)) continue;
        if (key.button == NavButton::kHome || key.button == NavButton::kBack) m_state.openApp = -1;
        return;
    }
    for (size_t i = 0; i < layout.apps.size(); ++i) {
        const AppIcon& app = layout.apps[i];
        if (!app.icon.Contains(x, y)) continue;
        m_state.openApp = static_cast<int>(i);
        PhoneReport report;
        if (app.role == AppRole::kCamera) {
            m_state.cameraOn = !m_state.cameraOn;
            report.kind = PhoneReport::kCamera;
            report.value = m_state.cameraOn ? 1 : 0;
            reports.push_back(report);
        } else if (app.role == AppRole::kMicrophone) {
            m_state.micOn = !m_state.micOn;
            report.kind = PhoneReport::kMicrophone;
            report.value = m_state.micOn ? 1 : 0;
            reports.push_back(report);
        }
        return;
    }
}

void SyntheticPhone::Touch(int action, const std::vector<std::pair<int64_t, int64_t>>& points) {
    std::vector<PhoneReport> reports;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const int w = m_state.width;
        const int h = m_state.height;
        auto onScreen = [w, h](const std::pair<int64_t, int64_t>& p) {
            return p.first >= 0 && p.second >= 0 && p.first < w && p.second < h;
        };
        if (action == 1) {
            m_state.touching = false;
        } else if (action == 0) {
            bool first = true;
            for (const auto& p : points) {
                if (!onScreen(p)) continue;
                m_state.marks.push_back({static_cast<int>(p.first), static_cast<int>(p.second)});
                if (m_state.marks.size() > kMaxMarks) m_state.marks.pop_front();
                if (first) TapLocked(static_cast<int>(p.first), static_cast<int>(p.second), reports);
                first = false;
                m_state.touching = true;
            }
        } else if (action == 2 && m_state.touching && !m_state.marks.empty() && !points.empty() &&
                   onScreen(points.front())) {
            m_state.marks.back() = {static_cast<int>(points.front().first), static_cast<int>(points.front().second)};
        }
        ++m_state.version;
    }
    Notify(reports);
}

void SyntheticPhone::Key(int code, bool down) {
    std::vector<PhoneReport> reports;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (code == kKeyLeftShift || code == kKeyRightShift) {
            m_state.shiftHeld = down;
            return;
        }
        if (code == kKeyLeftCtrl || code == kKeyRightCtrl) {
            m_state.ctrlHeld = down;
            return;
        }
        if (!down) return;
        if (code == kKeyVolumeUp) {
            m_state.volume = std::min(kMaxVolume, m_state.volume + 1);
        } else if (code == kKeyVolumeDown) {
            m_state.volume = std::max(0, m_state.volume - 1);
        } else if (code == kKeyHome) {
            m_state.openApp = -1;
            SetFocusLocked(false, reports);
        } else if (code == kKeyBack) {
            if (m_state.focused) {
                SetFocusLocked(false, reports);
            } else {
                m_state.openApp = -1;
            }
        } else if (code == kKeyMenu) {
            // The home grid has no menu.
        } else if (m_state.focused) {
            if (m_state.ctrlHeld && code == kKeyV) {
                AppendTextLocked(m_state.clipboard);
            } else if (m_state.ctrlHeld && code == kKeyC) {
                m_state.clipboard = m_state.text;
                PhoneReport report;
                report.kind = PhoneReport::kClipboard;
                report.text = m_state.clipboard;
                reports.push_back(report);
            } else if (code == kKeyBackspace) {
                PopCharacter(m_state.text);
            } else if (code == kKeyEnter) {
                SetFocusLocked(false, reports);
            } else if (!m_state.ctrlHeld) {
                const char c = KeyToChar(code, m_state.shiftHeld);
                if (c != 0) AppendTextLocked(std::string(1, c));
            }
        }
        ++m_state.version;
    }
    Notify(reports);
}

void SyntheticPhone::InputText(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_state.focused) return;
    AppendTextLocked(text);
    ++m_state.version;
}

void SyntheticPhone::SetClipboard(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_state.clipboard = text.substr(0, kMaxTextBytes);
    ++m_state.version;
}

void SyntheticPhone::SetRotation(int quarterTurns) {
    std::vector<PhoneReport> reports;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const bool landscape = (quarterTurns & 1) != 0;
        if (landscape != m_state.landscape) {
            m_state.landscape = landscape;
            m_state.width = landscape ? m_portraitHeight : m_portraitWidth;
            m_state.height = landscape ? m_portraitWidth : m_portraitHeight;
            m_state.marks.clear();
            m_state.touching = false;
            ++m_state.version;
        }
        PhoneReport report;
        report.kind = PhoneReport::kScreen;
        report.value = landscape ? 1 : 0;
        reports.push_back(report);
    }
    Notify(reports);
}

int SyntheticPhone::AddObserver(Observer observer) {
    std::lock_guard<std::mutex> lock(m_observerMutex);
    const int id = m_nextObserver++;
    m_observers[id] = std::move(observer);
    return id;
}

void SyntheticPhone::RemoveObserver(int id) {
    std::lock_guard<std::mutex> lock(m_observerMutex);
    m_observers.erase(id);
}

void SyntheticPhone::Notify(const std::vector<PhoneReport>& reports) {
    if (reports.empty()) return;
    std::vector<Observer> observers;
    {
        std::lock_guard<std::mutex> lock(m_observerMutex);
        for (const auto& entry : m_observers) observers.push_back(entry.second);
    }
    for (const auto& report : reports) {
        for (const auto& observer : observers) observer(report);
    }
}

}  // namespace cloudsim
