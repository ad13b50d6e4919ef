// Answers to the message boxes that the editor shows while vtcfg.exe drives
// it: each box is noticed as it becomes active (a CBT hook on the thread),
// recorded, and answered with the next queued answer, or with its first
// button (OK or Yes) when none is queued.
#pragma once

#include <string>
#include <vector>

namespace vtcfg {

struct AnsweredBox {
    std::string caption;  // UTF-8
    std::string text;
    std::string buttons;  // "OK", "OK, Cancel", "Yes, No", ...
    std::string answer;   // "OK", "Cancel", ...
};

// Installs the hook on the calling thread (once); false when it cannot.
bool StartAnsweringMessageBoxes();
void StopAnsweringMessageBoxes();

// Queues the answer (IDOK, IDCANCEL) for the next box.
void QueueAnswer(int answer);

// The boxes answered since the last call.
std::vector<AnsweredBox> TakeAnsweredBoxes();

}  // namespace vtcfg
