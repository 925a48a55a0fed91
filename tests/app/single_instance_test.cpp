// The single-instance guard: live owners block, crashed ones do not.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QSharedMemory>

#include "startup/single_instance_guard.h"
#include "startup/startup.h"

namespace {

QString UniqueKey(const char* base) { return QStringLiteral("%1-%2").arg(base).arg(::getpid()); }

TEST(SingleInstanceTest, ASecondGuardFailsWhileTheFirstLives) {
    const QString key = UniqueKey("guard");
    auto first = std::make_unique<app::SingleInstanceGuard>();
    ASSERT_TRUE(first->Acquire(key));
    app::SingleInstanceGuard second;
    EXPECT_FALSE(second.Acquire(key));
    first.reset();
    EXPECT_TRUE(second.Acquire(key));
}

TEST(SingleInstanceTest, ASegmentLeftByACrashedInstanceDoesNotBlock) {
    const QString key = UniqueKey("stale");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Creates the segment and dies without detaching, like a crash. The
        // system key comes from the key file's inode, so a segment that some
        // other killed process left behind can already hold it: that one is
        // cleared first, as the guard itself does.
        QSharedMemory memory(key);
        bool made = memory.create(1);
        if (!made && memory.error() == QSharedMemory::AlreadyExists && memory.attach()) {
            memory.detach();
            made = memory.create(1);
        }
        ::_exit(made ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    QSharedMemory probe(key);
    EXPECT_FALSE(probe.create(1));  // the stale segment is there
    EXPECT_EQ(probe.error(), QSharedMemory::AlreadyExists);

    app::SingleInstanceGuard guard;
    EXPECT_TRUE(guard.Acquire(key));
    app::SingleInstanceGuard second;
    EXPECT_FALSE(second.Acquire(key));
}

TEST(SingleInstanceTest, TheProgramExitsWithMinusOneWhileAnInstanceRuns) {
    app::SingleInstanceGuard running;
    ASSERT_TRUE(running.Acquire(QString::fromLatin1(app::InstanceKey())));
    for (const QStringList& args : {QStringList{}, QStringList{"https://front.example.test/"}}) {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ASAN_OPTIONS", "detect_leaks=0");  // Qt's own exit-time leaks would change the code
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(TESSIVO_PROGRAM_PATH), args);
        ASSERT_TRUE(program.waitForStarted(10000));
        if (!program.waitForFinished(30000)) {
            program.kill();
            program.waitForFinished(5000);
            FAIL() << "the second instance kept running";
        }
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 255);  // -1
    }
}

}  // namespace
