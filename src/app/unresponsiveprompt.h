#pragma once

struct InstancePlaces;

// The question a launch asks when the user's running Wispen holds the lock but does not answer.
// The launch must not open any note then: only that Wispen may edit them.
namespace UnresponsivePrompt {

// True to try again, false to give up. The question goes away by itself, as if answered with
// Wait, once the running Wispen answers again or has ended.
bool askToWait(const InstancePlaces &places);

} // namespace UnresponsivePrompt
