// The scenario of `kovado-sim demo`: the handset found and Skype attached,
// the user's status, an incoming call with its name picture, a failing
// outgoing call, the contacts in ranges, the call history with pictures, a
// language switch, the handset unplugged and back, and Skype logging out.
#pragma once

namespace kovado::sim {

const char* DemoScript();

}  // namespace kovado::sim
