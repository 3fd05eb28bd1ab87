// The engine's containers: the allocator interface, the fixed record pool,
// the growable array and the intrusive doubly linked list.
//
// Every engine record lives in a pool sized when the simulator is created;
// only the work arrays grow, by their growth step. Nothing here allocates
// except Reserve and a growing Alloc.
#pragma once

#include "math/ne_math.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

// ---- Allocator ---------------------------------------------------------

// Where the engine's memory comes from. Alloc returns null on failure.
class neAllocator {
public:
    virtual ~neAllocator() = default;
    virtual void* Alloc(size_t size, s32 flag) = 0;
    virtual void Free(void* block) = 0;
};

// Heap allocator with a running total of the bytes ever requested (it only
// grows: Free does not subtract, since the block's size is not known there).
class neDefaultAllocator : public neAllocator {
public:
    void* Alloc(size_t size, s32 flag) override;
    void Free(void* block) override;
    u32 usedMemory = 0;
};

// ---- Intrusive list --------------------------------------------------------

// A list of records that carry their own `next` and `prev` links. A record
// is on at most one neList through those links. Appends go to the end.
template <typename T>
struct neList {
    T* first = nullptr;
    T* last = nullptr;
    s32 count = 0;

    void Add(T* item) {
        item->prev = last;
        item->next = nullptr;
        if (last)
            last->next = item;
        else
            first = item;
        last = item;
        ++count;
    }
    void InsertAfter(T* after, T* item) {
        if (!after || after == last) return Add(item);
        item->prev = after;
        item->next = after->next;
        after->next->prev = item;
        after->next = item;
        ++count;
    }
    void InsertBefore(T* before, T* item) {
        if (!before) return Add(item);
        item->next = before;
        item->prev = before->prev;
        if (before->prev)
            before->prev->next = item;
        else
            first = item;
        before->prev = item;
        ++count;
    }
    // Takes the item out and clears both of its links.
    void Unlink(T* item) {
        if (item->prev)
            item->prev->next = item->next;
        else
            first = item->next;
        if (item->next)
            item->next->prev = item->prev;
        else
            last = item->prev;
        item->next = nullptr;
        item->prev = nullptr;
        --count;
    }
    void Clear() {
        first = last = nullptr;
        count = 0;
    }
};

// ---- Fixed pool --------------------------------------------------------------

// A fixed number of records with a free list and a used list. The used list
// runs in allocation order; a freed record goes to the front of the free list
// and is handed out again first. Records are found from their address in
// constant time.
template <typename T>
class nePool {
public:
    struct Slot {
        T item;
        Slot* next;
        Slot* prev;
        u8 inUse;
    };

    nePool() = default;
    nePool(const nePool&) = delete;
    nePool& operator=(const nePool&) = delete;
    ~nePool() { Release(); }

    // Makes room for count records (a count of 0 or less gives an empty pool
    // whose Alloc always fails). False when the allocation failed.
    bool Reserve(s32 count, neAllocator* alloc) {
        Release();
        if (alloc) allocator_ = alloc;
        if (count <= 0) return true;
        void* block = allocator_->Alloc(sizeof(Slot) * static_cast<size_t>(count), 0);
        if (!block) return false;
        slots_ = static_cast<Slot*>(block);
        for (s32 i = 0; i < count; ++i) {
            Slot* s = new (&slots_[i]) Slot{};
            s->next = (i + 1 < count) ? &slots_[i + 1] : nullptr;
            s->prev = (i > 0) ? &slots_[i - 1] : nullptr;
            s->inUse = 0;
        }
        freeHead_ = &slots_[0];
        freeTail_ = &slots_[count - 1];
        capacity_ = count;
        freeCount_ = count;
        return true;
    }

    // Hands out the front of the free list, or null when none is left. The
    // record keeps whatever it held: callers reset it. Unless `unlinked`,
    // it joins the tail of the used list.
    T* Alloc(bool unlinked = false) {
        Slot* s = freeHead_;
        if (!s) return nullptr;
        freeHead_ = s->next;
        if (freeHead_)
            freeHead_->prev = nullptr;
        else
            freeTail_ = nullptr;
        s->inUse = 1;
        s->next = nullptr;
        s->prev = nullptr;
        if (!unlinked) {
            s->prev = usedTail_;
            if (usedTail_)
                usedTail_->next = s;
            else
                usedHead_ = s;
            usedTail_ = s;
        }
        --freeCount_;
        ++usedCount_;
        return &s->item;
    }

    // Returns a handed-out record. Anything else (a foreign address, a
    // record already free) is ignored: false.
    bool Free(T* item, bool unlinked = false) {
        Slot* s = SlotOf(item);
        if (!s || !s->inUse) return false;
        s->inUse = 0;
        if (!unlinked) {
            if (s->prev)
                s->prev->next = s->next;
            else if (usedHead_ == s)
                usedHead_ = s->next;
            if (s->next)
                s->next->prev = s->prev;
            else if (usedTail_ == s)
                usedTail_ = s->prev;
        }
        s->prev = nullptr;
        s->next = freeHead_;
        if (freeHead_)
            freeHead_->prev = s;
        else
            freeTail_ = s;
        freeHead_ = s;
        ++freeCount_;
        --usedCount_;
        return true;
    }

    // True when the address is a record of this pool that is handed out.
    bool IsInUse(const T* item) const {
        const Slot* s = SlotOf(item);
        return s && s->inUse;
    }
    // The record's number in the pool, or -1 for a foreign address.
    s32 IndexOf(const T* item) const {
        const Slot* s = SlotOf(item);
        return s ? static_cast<s32>(s - slots_) : -1;
    }
    T* At(s32 index) { return (index >= 0 && index < capacity_) ? &slots_[index].item : nullptr; }

    // Walk of the used list in allocation order.
    T* FirstUsed() const { return usedHead_ ? &usedHead_->item : nullptr; }
    T* NextUsed(const T* item) const {
        const Slot* s = SlotOf(item);
        return (s && s->next) ? &s->next->item : nullptr;
    }

    void Release() {
        if (slots_) {
            for (s32 i = 0; i < capacity_; ++i) slots_[i].~Slot();
            allocator_->Free(slots_);
        }
        slots_ = nullptr;
        freeHead_ = freeTail_ = usedHead_ = usedTail_ = nullptr;
        capacity_ = freeCount_ = usedCount_ = 0;
    }

    s32 Capacity() const { return capacity_; }
    s32 FreeCount() const { return freeCount_; }
    s32 UsedCount() const { return usedCount_; }
    // Bytes held: capacity times the record with its link part.
    size_t Bytes() const { return sizeof(Slot) * static_cast<size_t>(capacity_); }

private:
    Slot* SlotOf(const T* item) const {
        if (!slots_ || !item) return nullptr;
        uintptr_t base = reinterpret_cast<uintptr_t>(slots_);
        uintptr_t at = reinterpret_cast<uintptr_t>(item);
        if (at < base) return nullptr;
        uintptr_t offset = at - base;
        if (offset % sizeof(Slot) != 0) return nullptr;
        uintptr_t index = offset / sizeof(Slot);
        if (index >= static_cast<uintptr_t>(capacity_)) return nullptr;
        return &slots_[index];
    }

    Slot* slots_ = nullptr;
    Slot* freeHead_ = nullptr;
    Slot* usedHead_ = nullptr;
    Slot* freeTail_ = nullptr;
    Slot* usedTail_ = nullptr;
    s32 capacity_ = 0;
    s32 freeCount_ = 0;
    s32 usedCount_ = 0;
    neDefaultAllocator ownAllocator_;
    neAllocator* allocator_ = &ownAllocator_;
};

// ---- Growable array ----------------------------------------------------------

// Growth steps of neGrowArray.
constexpr s32 NE_GROW_NEVER = 0;
constexpr s32 NE_GROW_DOUBLE = -1;

// An array of plain records that grows by its step when full: 0 never grows,
// NE_GROW_DOUBLE doubles, any other positive value adds that many. It can
// also wrap an array it does not own (never grows, never frees it).
template <typename T>
class neGrowArray {
    static_assert(std::is_trivially_copyable_v<T>, "neGrowArray moves its records with memcpy");

public:
    neGrowArray() = default;
    neGrowArray(const neGrowArray&) = delete;
    neGrowArray& operator=(const neGrowArray&) = delete;
    ~neGrowArray() { Release(); }

    // Room for `capacity` records (0 or less: none yet). False when the
    // allocation failed; the array is then empty.
    bool Reserve(s32 capacity, neAllocator* alloc, s32 growBy) {
        Release();
        if (alloc) allocator_ = alloc;
        growBy_ = growBy < NE_GROW_DOUBLE ? NE_GROW_NEVER : growBy;
        if (capacity <= 0) return true;
        void* block = allocator_->Alloc(sizeof(T) * static_cast<size_t>(capacity), 0);
        if (!block) return false;
        data_ = static_cast<T*>(block);
        capacity_ = capacity;
        owned_ = true;
        return true;
    }

    // The next free slot (count + 1), growing when full; null when full and
    // it cannot grow. The slot's contents are whatever was there.
    T* Alloc() {
        if (count_ >= capacity_ && !Grow()) return nullptr;
        return &data_[count_++];
    }
    // Appends a copy; false when full and it cannot grow.
    bool Push(const T& value) {
        T* slot = Alloc();
        if (!slot) return false;
        *slot = value;
        return true;
    }

    void Clear() { count_ = 0; }
    void Pop() {
        if (count_ > 0) --count_;
    }
    // Uses an external array of n records in place: count = capacity = n.
    void Wrap(T* external, s32 n) {
        Release();
        data_ = external;
        count_ = capacity_ = (external && n > 0) ? n : 0;
        growBy_ = NE_GROW_NEVER;
        owned_ = false;
    }
    void Release() {
        if (data_ && owned_) allocator_->Free(data_);
        data_ = nullptr;
        count_ = capacity_ = 0;
        owned_ = false;
    }

    T& operator[](s32 i) { return data_[i]; }
    const T& operator[](s32 i) const { return data_[i]; }
    T* Data() { return data_; }
    const T* Data() const { return data_; }
    s32 Count() const { return count_; }
    s32 Capacity() const { return capacity_; }
    s32 GrowBy() const { return growBy_; }
    size_t Bytes() const { return owned_ ? sizeof(T) * static_cast<size_t>(capacity_) : 0; }

private:
    bool Grow() {
        if (growBy_ == NE_GROW_NEVER || (!owned_ && data_)) return false;
        int64_t wanted = growBy_ == NE_GROW_DOUBLE ? static_cast<int64_t>(capacity_) * 2
                                                   : static_cast<int64_t>(capacity_) + growBy_;
        if (wanted <= capacity_) wanted = capacity_ + 1;  // doubling an empty array
        const int64_t limit = static_cast<int64_t>(INT32_MAX / sizeof(T));
        if (wanted > limit) return false;
        void* block = allocator_->Alloc(sizeof(T) * static_cast<size_t>(wanted), 0);
        if (!block) return false;
        if (data_) {
            std::memcpy(block, data_, sizeof(T) * static_cast<size_t>(count_));
            allocator_->Free(data_);
        }
        data_ = static_cast<T*>(block);
        capacity_ = static_cast<s32>(wanted);
        owned_ = true;
        return true;
    }

    T* data_ = nullptr;
    s32 count_ = 0;
    s32 capacity_ = 0;
    s32 growBy_ = NE_GROW_NEVER;
    bool owned_ = false;
    neDefaultAllocator ownAllocator_;
    neAllocator* allocator_ = &ownAllocator_;
};
