#pragma once
// How a string-driven picture reaches the picture download queue: the queue
// binds these when it exists (the element only holds it as FRecvQueue).

#include <string>

class TGridWebElement;

// Adds the element's download of `fileName` to the queue.
using TGridQueuePicture = void (*)(void* queue, TGridWebElement* owner, const std::string& fileName);
// The state of the element's download: -1 no item, 0 done (localFile names
// the fetched file), any other value still running.
using TGridFinishQueuedPicture = int (*)(void* queue, TGridWebElement* owner, std::string& localFile);

extern TGridQueuePicture gGridQueuePicture;
extern TGridFinishQueuedPicture gGridFinishQueuedPicture;
