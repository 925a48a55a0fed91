#pragma once
// Moves work from SDK threads onto the GUI thread. The owner creates it on
// the GUI thread and closes it before the context object goes; work posted
// after Close is dropped.
#include <QObject>

#include <functional>
#include <memory>
#include <mutex>

namespace app {

class GuiRelay {
public:
    GuiRelay();
    ~GuiRelay();
    // Runs fn later on the GUI thread (from any thread).
    void Post(std::function<void()> fn);
    void Close();

private:
    std::mutex m_mutex;
    std::unique_ptr<QObject> m_context;
};

}  // namespace app
