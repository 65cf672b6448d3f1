#pragma once

// The control calls of our D2XX stand-in, for tests in the same process. Test programs that
// link the zentor_fake_ftd2xx target can call them directly; they act on the same library
// instance that D2xxLibrary::load() finds at ZENTOR_FAKE_FTD2XX_PATH. Any thread may call them.
extern "C" {

// Adds bytes for FT_Read to hand out (and FT_GetStatus to count) while no terminal is set.
void FakeFtd2xx_Queue(const unsigned char* bytes, unsigned count);

// Copies up to `max` of the bytes that FT_Write took while no terminal was set, oldest first,
// and gives how many it took in all.
unsigned FakeFtd2xx_Written(unsigned char* out, unsigned max);

// Forgets queued and written bytes and the recorded open and baud rate, and closes every open
// device.
void FakeFtd2xx_Reset(void);

// The device index of the last successful FT_Open since the reset, or -1.
int FakeFtd2xx_OpenedIndex(void);

// The baud rate of the last successful FT_SetBaudRate since the reset, or 0.
unsigned FakeFtd2xx_BaudRate(void);

} // extern "C"
