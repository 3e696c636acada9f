#pragma once
// What the network helper sheds before it reads a request.

namespace pelmora {

// Closes every descriptor above standard error.
void CloseOtherDescriptors();
// Keeps CAP_NET_ADMIN alone (permitted and effective; nothing inheritable or ambient) and forbids
// gaining privileges through exec. False, with nothing changed, when CAP_NET_ADMIN is not permitted.
bool KeepOnlyNetAdmin();

}  // namespace pelmora
