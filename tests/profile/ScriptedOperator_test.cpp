// The scripted operator every later test relies on: its defaults, its queues and its
// progress dialog.
#include "common/ScriptedOperator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// Counts to its maximum on its own thread unless cancelled first.
class CountingTask : public ProgressTask {
 public:
  explicit CountingTask(int maximum) : maximum_(maximum) {}
  ~CountingTask() override {
    if (worker_.joinable()) worker_.join();
  }
  void Start() override {
    worker_ = std::thread([this] {
      while (!cancelled_ && position_ < maximum_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ++position_;
      }
      finished_ = true;
    });
  }
  bool Finished() const override { return finished_; }
  int Position() const override { return position_; }
  int Maximum() const override { return maximum_; }
  void Cancel() override { cancelled_ = true; }
  bool Cancelled() const { return cancelled_; }

 private:
  const int maximum_;
  std::thread worker_;
  std::atomic<bool> finished_{false};
  std::atomic<bool> cancelled_{false};
  std::atomic<int> position_{0};
};

}  // namespace

TEST(ScriptedOperator, AnswersFromItsQueuesThenLikeCancel) {
  ScriptedOperator op;
  ScopedOperator installed(op);
  op.QueueAnswer(MsgAnswer::Yes);
  op.QueueInput("typed");
  op.QueueInputCancel();
  EXPECT_EQ(Operator().MessageBox("Save?", "Q", MsgButtons::YesNoCancel, MsgIcon::Question),
            MsgAnswer::Yes);
  EXPECT_EQ(Operator().MessageBox("Save?", "Q", MsgButtons::YesNoCancel, MsgIcon::Question),
            MsgAnswer::Cancel);
  EXPECT_EQ(Operator().MessageBox("Sure?", "Q", MsgButtons::YesNo, MsgIcon::Question),
            MsgAnswer::No);
  EXPECT_EQ(Operator().MessageBox("Done", "INFO", MsgButtons::Ok, MsgIcon::Information),
            MsgAnswer::Ok);
  EXPECT_EQ(Operator().InputBox("t", "p", "init"), "typed");
  EXPECT_EQ(Operator().InputBox("t", "p", "init"), std::nullopt);   // queued Cancel
  EXPECT_EQ(Operator().InputBox("t", "p", "again"), std::nullopt);  // nothing queued
  auto boxes = op.MessageBoxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[3].caption, "INFO");
  EXPECT_EQ(boxes[3].icon, MsgIcon::Information);
  EXPECT_EQ(op.InputBoxes().size(), 3u);
}

TEST(ScriptedOperator, ScopeRestoresThePreviousOperator) {
  ScriptedOperator outer, inner;
  ScopedOperator a(outer);
  {
    ScopedOperator b(inner);
    Operator().PlayTones({{800, 50}});
  }
  Operator().PlayTones({{700, 50}});
  EXPECT_EQ(inner.CountPlayed({{800, 50}}), 1);
  EXPECT_EQ(outer.CountPlayed({{700, 50}}), 1);
  EXPECT_EQ(outer.CountPlayed({{800, 50}}), 0);
}

TEST(ScriptedOperator, ProgressRunsTheTaskToItsEndOrPressesCancel) {
  ScriptedOperator op;
  CountingTask whole(20);
  op.RunProgress({"Loading", "Simulator", 500}, whole);
  EXPECT_FALSE(whole.Cancelled());
  EXPECT_EQ(whole.Position(), 20);

  op.CancelProgressAfterPolls(3);
  CountingTask cut(1000000);  // would run for many minutes
  op.RunProgress({"Loading", "Transmitter", 500}, cut);
  EXPECT_TRUE(cut.Cancelled());
  EXPECT_LT(cut.Position(), 1000000);

  auto runs = op.Progresses();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].request.label, "Simulator");
  EXPECT_FALSE(runs[0].cancelPressed);
  EXPECT_EQ(runs[0].lastPosition, 20);
  EXPECT_EQ(runs[0].lastMaximum, 20);
  EXPECT_TRUE(runs[1].cancelPressed);
  EXPECT_GE(runs[1].polls, 3);
}
