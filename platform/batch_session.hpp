#pragma once

namespace kavrin {

// What a batch holds of the system while it runs: the one lock that every
// instance of the program shares (they share Kavrin.ini's folders, the
// encoder's options and the track numbers), and the request that keeps the
// machine from sleeping when it seems idle.
class BatchSession {
 public:
  virtual ~BatchSession() = default;

  // False, holding nothing, while another instance holds the lock.
  virtual bool TryLock() = 0;
  virtual void Unlock() = 0;

  virtual void KeepAwake(bool awake) = 0;
};

}  // namespace kavrin
