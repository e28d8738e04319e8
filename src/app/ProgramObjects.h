#pragma once
// The application's one setup session, and the names the program objects go by where the
// whole program has one of each. The main window works on this session and hands it to
// its pages; the names below are thin accessors for the code that speaks of the program
// objects in those terms.
#include <string>

#include "editor/SetupSession.h"

// The application's session: its program objects exist from the window's start-up to
// its shut-down.
SetupSession& AppSession();

// SimProg, TxProg and QueryProg: the application session's objects, null while it has
// none.
template <class T, T& (SetupSession::*Get)() const>
class AppProgramObject {
 public:
  T* get() const {
    const SetupSession& session = AppSession();
    return session.HasProgramObjects() ? &(session.*Get)() : nullptr;
  }
  T* operator->() const { return get(); }
  T& operator*() const { return *get(); }
  explicit operator bool() const { return get() != nullptr; }
};
inline constexpr AppProgramObject<progsimulatorclass, &SetupSession::Sim> SimProg{};
inline constexpr AppProgramObject<progtxclass, &SetupSession::Tx> TxProg{};
inline constexpr AppProgramObject<progqueryclass, &SetupSession::Query> QueryProg{};

// Path of the current setup file as the operator chose it; empty when none. The caption
// shows its title in upper case.
extern std::string gCurrentFileName;
// The hidden "Debug" menu entry is shown (Ctrl+D).
extern bool gDebugMenuShown;
