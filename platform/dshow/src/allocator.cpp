// The memory allocator: a pool of samples that go back to it when their last
// reference is released. A sample handed out keeps its allocator alive.
#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include <dshow/base_filter.h>

namespace dshow {
namespace {

class MemAllocator;

class MediaSample final : public IMediaSample {
public:
    MediaSample(MemAllocator& owner, int32_t size) : owner_(owner), data_(std::size_t(size)) { }

    HRESULT QueryInterface(const GUID& iid, void** out) override
    {
        return QueryOnly<IMediaSample>(this, iid, out);
    }
    uint32_t AddRef() override;
    uint32_t Release() override;

    HRESULT GetPointer(uint8_t** data) override
    {
        if (!data)
            return E_POINTER;
        *data = data_.data();
        return S_OK;
    }
    int32_t GetSize() override { return int32_t(data_.size()); }
    int32_t GetActualDataLength() override { return length_; }
    HRESULT SetActualDataLength(int32_t length) override
    {
        if (length < 0)
            return E_INVALIDARG;
        if (std::size_t(length) > data_.size())
            return VFW_E_BUFFER_OVERFLOW;
        length_ = length;
        return S_OK;
    }

private:
    MemAllocator& owner_;
    std::vector<uint8_t> data_;
    int32_t length_ = 0;
    std::atomic<uint32_t> refs_{0};
};

class MemAllocator : public ComBase<IMemAllocator> {
public:
    HRESULT SetProperties(const ALLOCATOR_PROPERTIES& request,
                          ALLOCATOR_PROPERTIES* actual) override
    {
        if (!actual)
            return E_POINTER;
        if (request.cbBuffer < 0 || request.cBuffers < 0)
            return E_INVALIDARG;
        std::lock_guard guard(mutex_);
        properties_ = {std::max(request.cBuffers, 1), request.cbBuffer};
        *actual = properties_;
        return S_OK;
    }

    HRESULT Commit() override
    {
        std::lock_guard guard(mutex_);
        committed_ = true;
        return S_OK;
    }

    HRESULT Decommit() override
    {
        std::lock_guard guard(mutex_);
        committed_ = false;
        return S_OK;
    }

    HRESULT GetBuffer(IMediaSample** sample) override
    {
        if (!sample)
            return E_POINTER;
        *sample = nullptr;
        MediaSample* found = nullptr;
        {
            std::lock_guard guard(mutex_);
            if (!committed_)
                return VFW_E_NOT_COMMITTED;
            while (!found && !free_.empty()) {
                MediaSample* candidate = free_.back();
                free_.pop_back();
                if (candidate->GetSize() == properties_.cbBuffer)
                    found = candidate;
                else
                    std::erase_if(samples_, [&](const auto& s) { return s.get() == candidate; });
            }
            if (!found) {
                samples_.push_back(std::make_unique<MediaSample>(*this, properties_.cbBuffer));
                found = samples_.back().get();
            }
            found->SetActualDataLength(properties_.cbBuffer);
        }
        found->AddRef();
        *sample = found;
        return S_OK;
    }

    void Return(MediaSample* sample)
    {
        std::lock_guard guard(mutex_);
        free_.push_back(sample);
    }

private:
    std::mutex mutex_;
    ALLOCATOR_PROPERTIES properties_{1, 0};
    bool committed_ = false;
    std::vector<std::unique_ptr<MediaSample>> samples_;
    std::vector<MediaSample*> free_;
};

uint32_t MediaSample::AddRef()
{
    if (refs_++ == 0)
        owner_.AddRef();
    return refs_;
}

uint32_t MediaSample::Release()
{
    const uint32_t left = --refs_;
    if (left == 0) {
        MemAllocator& owner = owner_;
        owner.Return(this);
        owner.Release();
    }
    return left;
}

} // namespace

ComPtr<IMemAllocator> MakeMemAllocator() { return MakeCom<MemAllocator>(); }

} // namespace dshow
