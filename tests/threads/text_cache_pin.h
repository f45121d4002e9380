// Keeps the system's text-layout cache for the dialogs' font alive while
// several threads show dialogs at once.
//
// Wine 8.0 keeps one process-wide list of those caches. When two threads
// create the entry for the same font at the same moment, the loser takes the
// winner's entry out of the list and frees its own, which stays listed: the
// next thread that measures text in an edit control reads freed memory
// (crashes inside SetWindowTextA, in the system's ScriptStringAnalyse or
// ScriptFreeCache, in about one run in four with two threads). An entry only
// gets made when none of the same font is listed, so entries held for the
// whole test, one for each font the dialogs' edit controls lay text out in,
// keep the race from starting. Windows needs none of this; elsewhere the
// object does nothing.
#pragma once

#include <vector>

namespace drilltest {

class TextCachePin {
  public:
    TextCachePin();
    ~TextCachePin();
    TextCachePin(const TextCachePin&) = delete;
    TextCachePin& operator=(const TextCachePin&) = delete;

    // False where the pin was needed and could not be made.
    bool Held() const { return held_; }

  private:
    bool held_ = true;
    std::vector<void*> caches_;
};

}  // namespace drilltest
