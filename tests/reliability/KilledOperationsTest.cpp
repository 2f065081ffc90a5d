// Kills the program with SIGKILL at random moments of add, modify, delete,
// clear all, password change and compaction, one trial after another on the
// same program folder. After every kill the database must open with its key,
// pass the engine's integrity check and hold exactly the state before or after
// the interrupted operation; a backup written by a password change must open too.
//
// QUILLORY_FAULT_TRIALS sets the number of trials (20 by default; the long run
// uses 200 or more), QUILLORY_FAULT_SEED repeats a run.
#include "DatabaseState.h"

#include "security/Unit_DESCrypt.h"
#include "store/DatabaseConstants.h"
#include "store/DeliveredDatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <iostream>
#include <random>
#include <thread>

namespace {

enum class Kind { Add, Modify, Delete, Clear, Password, Compact };
constexpr int kKinds = 6;
const char* const kKindNames[kKinds] = {"add", "modify", "delete", "clear", "password", "compact"};

struct Operation {
    Kind kind;
    QStringList arguments;
    // Whether a state is the one the completed operation leaves.
    std::function<bool(const DatabaseState&)> isAfter;
};

int EnvironmentNumber(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

QString Cipher(const QString& password)
{
    return QString::fromLatin1(DesEncryptToHex(password.toStdString(), store::PassCipherKey));
}

QString RandomPassword(std::mt19937& rng)
{
    static const char alphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    QString password;
    const int length = std::uniform_int_distribution<int>(1, 16)(rng);
    for (int i = 0; i < length; ++i)
        password += QLatin1Char(alphabet[std::uniform_int_distribution<int>(0, 61)(rng)]);
    return password;
}

// Picks an operation and says what it must leave behind. Clear all and
// password changes are rarer, as with a user.
Operation RandomOperation(std::mt19937& rng, const DatabaseState& before, int& sampleSeed)
{
    static const int weights[kKinds] = {25, 20, 15, 4, 10, 26};
    const auto kind = static_cast<Kind>(std::discrete_distribution<int>(std::begin(weights), std::end(weights))(rng));
    auto pickId = [&] {
        auto it = before.records.begin();
        std::advance(it, std::uniform_int_distribution<int>(0, static_cast<int>(before.records.size()) - 1)(rng));
        return it->first;
    };
    switch (kind) {
    case Kind::Add: {
        const QStringList values = SampleRecord(++sampleSeed);
        return {kind, QStringList{QStringLiteral("add")} + values, [before, values](const DatabaseState& after) {
                    if (after.passwords != before.passwords || after.records.size() != before.records.size() + 1)
                        return false;
                    DatabaseState rest = after;
                    for (auto it = rest.records.begin(); it != rest.records.end(); ++it) {
                        if (!before.records.count(it->first)) {
                            if (it->second != values)
                                return false;
                            rest.records.erase(it);
                            break;
                        }
                    }
                    return rest == before;
                }};
    }
    case Kind::Modify: {
        const qint64 id = pickId();
        DatabaseState expected = before;
        expected.records[id] = SampleRecord(++sampleSeed);
        return {kind, QStringList{QStringLiteral("modify"), QString::number(id)} + expected.records[id],
                [expected](const DatabaseState& after) { return after == expected; }};
    }
    case Kind::Delete: {
        const qint64 id = pickId();
        DatabaseState expected = before;
        expected.records.erase(id);
        return {kind, {QStringLiteral("delete"), QString::number(id)},
                [expected](const DatabaseState& after) { return after == expected; }};
    }
    case Kind::Clear: {
        DatabaseState expected = before;
        expected.records.clear();
        return {kind, {QStringLiteral("clear")}, [expected](const DatabaseState& after) { return after == expected; }};
    }
    case Kind::Password: {
        const QString current = QString::fromStdString(DesDecryptFromHex(before.passwords.value(0).toStdString(), store::PassCipherKey));
        QString next;
        do
            next = RandomPassword(rng);
        while (next == current);
        DatabaseState expected = before;
        expected.passwords.fill(Cipher(next));
        return {kind, {QStringLiteral("password"), next}, [expected](const DatabaseState& after) { return after == expected; }};
    }
    case Kind::Compact:
        break;
    }
    return {Kind::Compact, {QStringLiteral("compact")}, [before](const DatabaseState& after) { return after == before; }};
}

// One run of the driver, killed after delay once it is ready (or left to end
// when the delay is negative).
struct DriverRun {
    bool ready = false;
    bool done = false;          // the operation's handler returned
    bool killed = false;        // the kill found the process still running
    qint64 operationMicros = 0; // how long the handler took, when done
    QString output;
};

DriverRun RunDriver(const QString& folder, const Operation& operation, std::chrono::microseconds delay)
{
    QProcess driver;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    driver.setProcessEnvironment(environment);
    driver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    driver.start(QStringLiteral(QUILLORY_FAULT_DRIVER), QStringList{folder} + operation.arguments);

    DriverRun run;
    QByteArray output;
    QElapsedTimer waiting;
    waiting.start();
    while (!output.contains("ready\n") && waiting.elapsed() < 60000) {
        if (!driver.waitForReadyRead(1000) && driver.state() == QProcess::NotRunning)
            break;
        output += driver.readAllStandardOutput();
    }
    run.ready = output.contains("ready\n");
    if (run.ready && delay.count() >= 0) {
        std::this_thread::sleep_for(delay);
        run.killed = driver.state() == QProcess::Running;
        driver.kill();
    }
    driver.waitForFinished(60000);
    output += driver.readAllStandardOutput();
    run.output = QString::fromUtf8(output);
    const qsizetype done = run.output.indexOf(QLatin1String("\ndone "));
    run.done = done >= 0 && run.output.indexOf(u'\n', done + 1) > 0;
    if (run.done)
        run.operationMicros = run.output.mid(done + 6).section(u'\n', 0, 0).toLongLong();
    return run;
}

// Every backup that a password change wrote must be a whole database.
void ExpectBackupsOpen(const QString& folder, const QString& scratch)
{
    for (const QString& name : QDir(folder).entryList({QStringLiteral("bak_*_.udb")}, QDir::Files)) {
        QFile::remove(scratch + store::DatabaseFileName);
        ASSERT_TRUE(QFile::copy(folder + name, scratch + store::DatabaseFileName));
        EXPECT_NO_THROW(ReadDatabaseState(scratch)) << name.toStdString();
    }
}

TEST(KilledOperations, EveryKillLeavesTheStateBeforeOrAfterTheOperation)
{
    const int trials = EnvironmentNumber("QUILLORY_FAULT_TRIALS", 20);
    const unsigned seed = static_cast<unsigned>(EnvironmentNumber("QUILLORY_FAULT_SEED", static_cast<int>(std::random_device{}())));
    SCOPED_TRACE(testing::Message() << "QUILLORY_FAULT_SEED=" << seed);
    std::mt19937 rng(seed);

    QTemporaryDir programDir, checkDir;
    ASSERT_TRUE(programDir.isValid() && checkDir.isValid());
    const QString folder = programDir.path() + u'/';
    const QString check = checkDir.path() + u'/';
    store::CreateDeliveredDatabase(folder, QStringLiteral("start2010"));
    int sampleSeed = 0;
    auto refill = [&] {
        QList<QStringList> records;
        for (int i = 0; i < 40; ++i)
            records << SampleRecord(++sampleSeed);
        InsertRecords(folder, records);
    };
    refill();
    DatabaseState state = ReadDatabaseState(folder);

    // Kills spread over how long each kind of operation takes, learnt as trials complete.
    double windowMicros[kKinds];
    std::fill(std::begin(windowMicros), std::end(windowMicros), 30000.0);
    int midOperation = 0, afterDone = 0, completed = 0;
    int perKind[kKinds] = {};

    for (int trial = 0; trial < trials; ++trial) {
        const Operation operation = RandomOperation(rng, state, sampleSeed);
        const int kind = static_cast<int>(operation.kind);
        ++perKind[kind];
        const auto delay = std::chrono::microseconds(static_cast<long long>(
            std::uniform_real_distribution<double>(0.0, 1.25 * windowMicros[kind])(rng)));
        const DriverRun run = RunDriver(folder, operation, delay);
        SCOPED_TRACE(testing::Message() << "trial " << trial << ": " << operation.arguments.join(u' ').toStdString()
                                        << ", killed after " << delay.count() << " us\n"
                                        << run.output.toStdString());
        ASSERT_TRUE(run.ready);

        CopyDatabaseFiles(folder, check);
        DatabaseState now;
        ASSERT_NO_THROW(now = ReadDatabaseState(check));
        if (run.done) {
            EXPECT_TRUE(operation.isAfter(now)) << "the operation completed but its change is missing";
            windowMicros[kind] = std::max(windowMicros[kind], static_cast<double>(run.operationMicros));
        } else {
            EXPECT_TRUE(now == state || operation.isAfter(now)) << "a mix of the states before and after";
        }
        // A handler that returned without a kill has shown its result.
        if (run.done && operation.kind == Kind::Add) {
            EXPECT_TRUE(run.output.contains(QStringLiteral("box 添加成功.\n")));
        }
        if (run.done && operation.kind == Kind::Compact) {
            EXPECT_TRUE(run.output.contains(QStringLiteral("box 数据库压缩完成.\n")));
        }
        midOperation += run.killed && !run.done;
        afterDone += run.killed && run.done;
        completed += !run.killed;
        ExpectBackupsOpen(folder, check);
        if (HasFailure())
            return;

        state = now;
        if (state.records.size() < 10) {
            refill();
            state = ReadDatabaseState(folder);
        }
    }
    std::cout << "[ figures  ] " << trials << " trials, " << midOperation << " killed inside the operation, "
              << afterDone << " killed after it, " << completed << " ran to the end; per kind:";
    for (int kind = 0; kind < kKinds; ++kind)
        std::cout << ' ' << kKindNames[kind] << '=' << perKind[kind];
    std::cout << "; records lost: 0" << std::endl;
}

} // namespace
