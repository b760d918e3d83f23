#pragma once
// Building, connecting, running, stopping and tearing down the capture graph
// of a record.
#include <functional>

#include "device_list.h"
#include "record.h"
#include <fgint/fgint.h>

namespace directshow {

// Graph building of an open: the frame event, graph, builder, renderer,
// the capture filter bound from `device`, its decoder, video control and
// crossbar, then the connection. 5312 (with a low-level message), 5313 for
// an external trigger the device cannot take, or a host allocation status.
FGstatus InitCapture(Vproc_handle proc_id, CIODirectShow& record, FGInstance* fginst,
                     dshow::IMoniker* device);

// Registers the graph in the running object table, renders the capture pin
// (`port` -1) or pin `port` into the renderer, checks what the renderer is
// connected to, leaves the graph stopped and takes the allocator. 1 or 5.
FGstatus ConnectFilterGraph(CIODirectShow& record, int32_t port);

// Stops the graph and waits until it is stopped (at most 5 s), then forgets
// any sample that arrived. 1, or 5 when the graph did not stop.
FGstatus StopGrabbing(CIODirectShow& record);

// Runs the graph unless it runs already, and waits until it does (at most 5 s).
void RunGraph(CIODirectShow& record);

// Removes every filter downstream of `filter` from the graph.
void TearDownBehind(dshow::IGraphBuilder* graph, dshow::IBaseFilter* filter);

// The tear-down before a reconnection and at close: stop, leave the running
// object table, drop the allocator, remove what follows the capture filter.
void DisconnectGraph(CIODirectShow& record);

// A device setting applied in its steps: the tear-down (DisconnectGraph),
// `set`, and the reconnection through pin `port`. 1, or 5 when the graph
// did not reconnect.
FGstatus ApplyDeviceSetting(CIODirectShow& record, int32_t port, const std::function<void()>& set);

// Pin `n` of `filter` in EnumPins order, null when there are fewer pins.
// 1, or 5 when the pins cannot be enumerated.
FGstatus GetPin(dshow::IBaseFilter* filter, int n, dshow::ComPtr<dshow::IPin>* pin);

// The capture pin: for `port` -1 the first video output pin of category
// capture, else pin number `port`. False when there is none.
bool FindCapturePin(const CIODirectShow& record, int32_t port, dshow::ComPtr<dshow::IPin>* pin);

// Releases whatever the record holds (after a failed open and at close) and
// frees the record; returns `result`.
FGstatus Release(Vproc_handle proc_id, CIODirectShow& record, FGstatus result);

} // namespace directshow
