#include "parallel_port.h"

namespace instruments {
namespace {

constexpr uint32_t kDataRegister = 0x378;

} // namespace

CParallelPort::CParallelPort(const MessageSink& messages)
    : m_ports("lpt", kDataRegister,
              "Erreur de connexion à Quenlo !\n\nParamètres de connexion:\nDevice: lpt\nBus "
              "Type: Internal\nUses port range\nPort Base: 0X378\nPort Count: 0X2\nIgnore "
              "ressource conflicts",
              messages)
{
}

void CParallelPort::WriteData(uint8_t value) { m_ports.Write(kDataRegister, value); }

} // namespace instruments
