#pragma once
// A worker thread of the installed host that runs one function: started on
// construction, joined on destruction, so a test's thread cannot outlive it.
#include "platform/Thread.h"

#include <functional>
#include <utility>

class LambdaThread : public TThread {
  public:
    explicit LambdaThread(std::function<void()> body) : FBody(std::move(body)) { Start(); }
    ~LambdaThread() override { WaitFor(); }
    LambdaThread(const LambdaThread&) = delete;
    LambdaThread& operator=(const LambdaThread&) = delete;

  protected:
    void Execute() override { FBody(); }

  private:
    std::function<void()> FBody;
};
