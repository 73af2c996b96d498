#include "platform/comm/TracingDevice.h"

#include <cstring>

namespace zo::comm {

TracingDevice::TracingDevice(std::unique_ptr<SerialDevice> device, std::shared_ptr<ByteTrace> trace)
    : m_device(std::move(device)), m_trace(std::move(trace)) {}

TracingDevice::~TracingDevice() {
    m_trace->Note("close " + m_device->Describe());
}

std::string TracingDevice::Failure(const char* what) const {
    int error = m_device->PendingError();
    return error ? std::string(what) + ": " + std::strerror(error) : std::string(what);
}

bool TracingDevice::Read(std::span<char> buf, std::size_t* got) {
    bool ok = m_device->Read(buf, got);
    if (*got > 0) {
        m_trace->Received(std::string_view(buf.data(), *got));
    }
    if (!ok) {
        m_trace->Note(Failure("read failed"));
    }
    return ok;
}

WaitResult TracingDevice::WaitReadable(platform::Clock::TimePoint deadline) {
    WaitResult r = m_device->WaitReadable(deadline);
    if (r == WaitResult::Failed) {
        m_trace->Note(Failure("wait failed"));
    }
    return r;
}

bool TracingDevice::Write(std::string_view data) {
    m_trace->Sent(data);
    bool ok = m_device->Write(data);
    if (!ok) {
        m_trace->Note(Failure("write failed"));
    }
    return ok;
}

bool TracingDevice::SetState(const LineState& state) {
    bool ok = m_device->SetState(state);
    m_trace->Note("line " + std::to_string(state.baudRate) + " bit/s, " +
                  std::to_string(state.byteSize) + " data bits" + (ok ? "" : ": refused"));
    return ok;
}

}  // namespace zo::comm
