// While one lives, the text of every message box shown on this thread is kept
// in `last` (the latest wins), so that a caller who saw no box can still learn
// what it said.
#pragma once

#include <string>

namespace fw {

class MessageCapture {
  public:
    explicit MessageCapture(std::string* last);
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

  private:
    std::string* previous_;
};

}  // namespace fw
