#pragma once
// A fake POP3 server on loopback that follows a script, for tests of the
// client against a real socket. It runs in its own thread, listens on
// 127.0.0.1 with an ephemeral port, records every line the client sends, and
// compares client lines byte for byte (CR LF included).
//
//   ScriptedPop3Server server(R"(
//       S: +OK ready
//       C: USER anne
//       S: +OK
//       C: PASS secret
//       S: -ERR wrong password
//       C: QUIT
//   )");
//   TIdPOP3 client;  client.Host = "127.0.0.1";  client.Port = server.Port();
//   ...
//   server.ExpectFinished();   // every step ran, nothing more was sent
//
// Script lines (leading blanks ignored, empty lines skipped):
//   S: text     the server sends text + CR LF ("S:" alone sends an empty line)
//   C: text     the next client line must be exactly text + CR LF
//   !raw text   the server sends text without CR LF (a partial line)
//   !chunk N    later sends go out N bytes per send (0: whole); best effort,
//               the receiver may still get several pieces at once
//   !pause MS   the server waits MS milliseconds before the next step
//   !close      the server closes its sending side, then reads on until the
//               client closes; anything the client still sends is "extra"
//   !reset      the server aborts the connection (the client sees a reset)
//   !stall      the server answers nothing more and waits for the client to
//               close; what the client sends meanwhile is recorded, not extra
//   !next       the current connection ends (as at the script's end) and the
//               server accepts the next one
//   !drop       what the client sent that the script has not read yet, and
//               what comes until it has been quiet 200 ms, is thrown away
//               unanswered (Dropped), as by a server that hands the
//               connection to another process or ignores commands sent ahead
// In S:, C: and !raw text, \r \n \t \\ and \xHH stand for those bytes.
// At the end of the script (and at !next) the server waits for the client to
// close; any line the client sent after the last step fails ExpectFinished.
// When that last step was the client's QUIT, the server first closes its
// sending side, as a server does once it has read QUIT.
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "support/loopback.h"

class ScriptedPop3Server {
public:
    // `deadline` bounds the whole conversation; the server gives up after it.
    explicit ScriptedPop3Server(std::string_view script,
                                std::chrono::milliseconds deadline = std::chrono::seconds(30));
    ~ScriptedPop3Server();
    ScriptedPop3Server(const ScriptedPop3Server&) = delete;
    ScriptedPop3Server& operator=(const ScriptedPop3Server&) = delete;

    int Port() const { return listener_.Port(); }
    // Every line received from the client, without its CR LF, in order.
    std::vector<std::string> Commands() const;
    // The lines thrown away at !drop, without their CR LF.
    std::vector<std::string> Dropped() const;
    // The conversation: "<-- " server lines, "--> " client lines, "!! " events.
    std::string Transcript() const;
    // Waits for the script to end; true when every step ran and matched and
    // the client sent nothing more.
    bool WaitFinished(std::chrono::milliseconds wait = std::chrono::seconds(30));
    // WaitFinished, adding a test failure with the transcript when false.
    void ExpectFinished(std::chrono::milliseconds wait = std::chrono::seconds(30));

    struct Step {
        enum Kind { Send, Expect, Raw, Chunk, Pause, Close, Reset, Stall, Next, Drop } kind;
        std::string text;
        int number = 0;
    };

private:
    class Session;
    void Run();
    void RunSteps(int& fd);
    void Record(std::string line);
    void Fail(std::string why);

    std::vector<Step> steps_;
    LoopbackListener listener_;
    WakePipe wake_;
    std::chrono::steady_clock::time_point deadline_;
    mutable std::mutex lock_;
    std::condition_variable done_;
    bool finished_ = false;
    bool ok_ = true;
    bool checked_ = false;
    std::vector<std::string> commands_;
    std::vector<std::string> dropped_;
    std::string transcript_;
    std::thread thread_;
};

// The script lines of a multi-line reply: `first` (e.g. "+OK"), then every
// line of `body` (LF or CR LF separated) with a leading "." doubled, then ".".
std::string MultiLineReply(std::string_view first, std::string_view body);
