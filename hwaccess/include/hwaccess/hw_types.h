#ifndef HWACCESS_HW_TYPES_H
#define HWACCESS_HW_TYPES_H
/* Records of the hardware access library, shared by the shared library's C
 * exports and the client part that programs link. Fields keep their order; on
 * 64-bit systems pointers take their natural size. */
#include <pthread.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int BOOL;

typedef struct HwDevice HwDevice;
typedef struct HwThread HwThread; /* hwaccess/hw_thread.h */
typedef void (*HwInterruptCallback)(HwDevice* device);
typedef void (*HwErrorCallback)(HwDevice* device, int code);

/* Error callback codes. */
enum { HW_ERROR_ISR_THREAD = 3, HW_ERROR_OP_QUEUE = 5 };

/* How the interrupt-service thread ended (HwIsrThreadProc's result): stopped
 * on request; the interrupt callback threw; the wait failed or its reply was
 * not 16 bytes; the driver refused the wait request. */
enum {
    HW_ISR_STOPPED = 0,
    HW_ISR_CALLBACK_FAILED = 3,
    HW_ISR_BAD_REPLY = 4,
    HW_ISR_WAIT_REFUSED = 5
};

/* A connection to one driver device. */
struct HwDevice {
    HwInterruptCallback interruptCallback; /* run for every interrupt, under the lock */
    HwErrorCallback errorCallback; /* set by the caller; 5 failed op queue, 3 interrupt thread */
    void* callerData;              /* zeroed, never used by the library */
    int32_t syncHandle;            /* driver handle for ordinary requests; -1 when not connected */
    int32_t overlappedHandle;      /* driver handle for the interrupt wait; -1 when not connected */
    uint32_t driverContext;        /* first word of every request (Windows 9x), 0 on NT */
    HwThread* interruptThread;     /* interrupt-service thread while interrupts are served */
    void* interruptThreadParameter; /* value given with that thread */
    pthread_mutex_t lock;           /* recursive: op queues and interrupt callbacks */
    struct HwEvent* stopEvent;      /* manual-reset event that stops interrupt service */
    uint32_t interruptReply[4];     /* [1] interrupt data, [2] identification data */
};

/* Device configuration: the full record is 96 bytes; words 0-16 (68 bytes) are
 * the short record. A record is full when recordSize is exactly 96. */
typedef struct HwDeviceConfig {
    uint32_t busFlag; /* 1 from HwEnumerateDevices when InterfaceType is not 1 */
    uint32_t
        InterfaceType; /* bus interface type; 1 after a reset; 5 = found by VendorID/DeviceID */
    uint32_t BusNumber;
    uint32_t portRangeUsed;
    uint32_t PortBase;
    uint32_t PortCount;
    uint32_t interruptUsed;
    uint32_t InterruptLevel;
    uint32_t IsrOp; /* interrupt-service op run by the driver, 0 = none */
    uint32_t IsrData;
    uint32_t IsrOffset;
    uint32_t memRangeUsed;
    uint32_t MemBase;
    uint32_t MemCount;
    uint32_t Dynamic;
    uint32_t IgnoreConflicts; /* VendorID when InterfaceType is 5 */
    uint32_t DeviceID;        /* when InterfaceType is 5 */
    uint32_t recordSize;      /* 96 in a full record */
    uint32_t IsrIdOp;         /* interrupt identification op, 0 = none */
    uint32_t IsrIdOffset;
    uint32_t IsrIdMask;
    uint32_t IsrIdValue;
    uint32_t MemoryIo;
    uint32_t DmaBufSize;
} HwDeviceConfig;

enum { HW_SHORT_CONFIG_SIZE = 68, HW_FULL_CONFIG_SIZE = 96, HW_DEVICE_NAME_CHARS = 40 };

/* A memory object: a range of physical memory, a device's memory or its DMA
 * buffer mapped into the process. The first eight words hold the driver's map
 * reply, the address token resolved into `address`; unmapping zeroes them. */
typedef struct HwMemory {
    uint32_t physicalAddress; /* [0] */
    uint32_t length;          /* [1] mapped length */
    void* address;            /* [2] the mapping in this process; null = not mapped */
    uint32_t mapping;         /* [3] mapping handle, sent back when unmapping */
    uint32_t replyRest[4];    /* [4-7] the rest of the reply */
    uint32_t kindAndIndex;    /* kind in the low 16 bits: 0 physical range, 1 device memory,
                                 2 DMA buffer, 3 indexed device memory; index in the high 16 */
    HwDevice* device;         /* owning device, or null for a physical range */
} HwMemory;

/* An op queue: a 48-byte header, capacity op records of 32 bytes, then the data
 * area (layout in qdriver/wire.h). Callers may build one in their own memory. */
typedef struct HwOpQueue HwOpQueue;

#ifdef __cplusplus
}
#endif

#endif
