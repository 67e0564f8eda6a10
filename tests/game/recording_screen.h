#pragma once
// A turn's screen with no console behind it: it answers the person's prompts from a
// script and notes, in order, everything the turn tells it, so that a test reads what a
// turn did without reading a screen.

#include <deque>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "game/context.h"
#include "game/routes.h"
#include "game/turn_screen.h"
#include "scripted_random.h"

namespace yut {

// Thrown when the turn asks for an answer that the script does not have.
struct NoMoreAnswers : std::exception {};

class RecordingScreen : public TurnScreen {
 public:
  // Answers: a number, or kNoNumber, or kLeave.
  static constexpr int kNoNumber = -100000;
  static constexpr int kLeave = -100001;
  explicit RecordingScreen(std::vector<int> answers) : answers_(answers.begin(), answers.end()) {}

  void show_board(GameState&) override { note("board"); }
  void show_start() override { note("start"); }
  void wait_for_start() override { note("key"); }
  void show_throw(const PlayerDescriptor&, int side, const ThrowInfo& info) override {
    static const char* const kNames[] = {"back-do", "do", "gae", "geol", "yut", "mo"};
    note("side" + std::to_string(side) + " " + kNames[static_cast<int>(info.kind)]);
  }
  TypedChoice read_choice() override {
    if (answers_.empty()) throw NoMoreAnswers();
    const int answer = answers_.front();
    answers_.pop_front();
    note("typed");
    if (answer == kLeave) return {TypedChoice::Kind::kLeaveGame, 0};
    if (answer == kNoNumber) return {TypedChoice::Kind::kNoNumber, 0};
    return {TypedChoice::Kind::kNumber, answer};
  }
  void show_computer_choice(int choice) override { note("chose " + std::to_string(choice)); }
  void show_refusal(Refusal, RuleSet, bool wait) override {
    note(wait ? "refused, key" : "refused");
  }
  void show_capture(bool wait) override { note(wait ? "capture, key" : "capture"); }
  void after_computer_move() override { note("hold"); }
  void end_game(GameState&, int side) override { note("won by side" + std::to_string(side)); }

  const std::vector<std::string>& events() const { return events_; }
  std::string all_events() const {
    std::string all;
    for (const std::string& event : events_) all += (all.empty() ? "" : " / ") + event;
    return all;
  }
  // Keeps no record, for runs whose records would only grow.
  void forget() { keep_ = false; }

 private:
  void note(std::string event) {
    if (keep_) events_.push_back(std::move(event));
  }
  std::deque<int> answers_;
  std::vector<std::string> events_;
  bool keep_ = true;
};

// A game on a recording screen: state, scripted throws and scripted answers.
struct RecordedGame {
  RecordedGame(std::vector<int> throws, std::vector<int> answers = {},
               ComputerLevel level = ComputerLevel::kBasic, RuleSet rules = RuleSet::kClassic)
      : random(std::move(throws)),
        screen(std::move(answers)),
        ctx{state, random, screen, ComputerMind{level}, rules} {}
  int at(BoardPlace place) const { return state.board[cell_index(place.i, place.j)]; }
  GameState state;
  ScriptedRandom random;
  RecordingScreen screen;
  GameContext ctx;
};

}  // namespace yut
