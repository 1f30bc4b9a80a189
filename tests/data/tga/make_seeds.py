#!/usr/bin/env python3
"""Writes the loader's seed files into this folder: small valid images of both
types and depths, and the malformed shapes the loader must refuse cleanly.
The test suite replays every file here; the fuzzer starts from them."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
TYPE2 = bytes([0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0])
TYPE10 = bytes([0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0])


def info(width, height, depth, descriptor=0):
    return struct.pack('<HHBB', width, height, depth, descriptor)


def pixels(count, size, seed=1):
    return bytes((seed * 37 + i * 11) & 0xFF for i in range(count * size))


def run(count, pixel):
    return bytes([127 + count]) + pixel


def raw(pixel_bytes, size):
    return bytes([len(pixel_bytes) // size - 1]) + pixel_bytes


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


def main():
    # Valid uncompressed images; 3 pixels of 24 bits make 9-byte rows.
    write('ok_raw24_3x2.tga', TYPE2 + info(3, 2, 24) + pixels(6, 3))
    write('ok_raw32_4x4_footer.tga', TYPE2 + info(4, 4, 32, 8) + pixels(16, 4) + b'TRUEVISION-XFILE.\0')
    write('ok_raw24_top_origin.tga', TYPE2 + info(3, 2, 24, 0x20) + pixels(6, 3))

    # Valid run-length images: runs and raw packets mixed, one ending exactly.
    body24 = run(5, b'\x01\x02\x03') + raw(pixels(4, 3, 2), 3) + run(3, b'\x10\x20\x30')
    write('ok_rle24_4x3.tga', TYPE10 + info(4, 3, 24) + body24)
    body32 = raw(pixels(3, 4, 3), 4) + run(128, b'\x01\x02\x03\x04') + run(2, b'\xff\x00\x80\x40') + raw(pixels(3, 4, 4), 4)
    write('ok_rle32_17x8.tga', TYPE10 + info(17, 8, 32) + body32)
    write('ok_rle32_16x8_one_run.tga', TYPE10 + info(16, 8, 32) + run(128, b'\x01\x02\x03\x04'))
    write('ok_rle24_raw128.tga', TYPE10 + info(128, 1, 24) + raw(pixels(128, 3, 5), 3) + b'trailing')

    # Packets that run past the image.
    write('bad_rle_run_past_end.tga', TYPE10 + info(10, 10, 32) + run(128, b'\x01\x02\x03\x04'))
    write('bad_rle_raw_past_end.tga', TYPE10 + info(2, 2, 24) + raw(pixels(6, 3), 3))
    write('bad_rle_raw_past_end_short.tga', TYPE10 + info(2, 2, 24) + raw(pixels(6, 3), 3)[:1 + 4 * 3 + 2])

    # Truncated data.
    write('bad_raw_truncated.tga', TYPE2 + info(4, 4, 32) + pixels(15, 4))
    write('bad_rle_no_more_packets.tga', TYPE10 + info(4, 4, 24) + run(8, b'\x01\x02\x03'))
    write('bad_rle_raw_cut.tga', TYPE10 + info(4, 4, 24) + raw(pixels(8, 3), 3)[:1 + 5 * 3 + 1])
    write('bad_rle_run_cut.tga', TYPE10 + info(4, 4, 32) + bytes([0x85, 1, 2]))
    write('bad_short_file_header.tga', TYPE2[:7])
    write('bad_short_info.tga', TYPE10 + info(4, 4, 24)[:3])
    write('bad_empty.tga', b'')

    # Huge sizes in tiny files.
    write('bad_raw_huge.tga', TYPE2 + info(65535, 65535, 32) + pixels(4, 4))
    write('bad_rle_huge.tga', TYPE10 + info(65535, 65535, 32) + run(128, b'\x01\x02\x03\x04') * 4)
    write('bad_rle_huge_raw.tga', TYPE10 + info(65535, 65535, 24) + raw(pixels(128, 3), 3) * 2)

    # Zero sizes and wrong depths.
    write('bad_zero_width.tga', TYPE2 + info(0, 4, 24) + pixels(4, 3))
    write('bad_zero_height.tga', TYPE10 + info(4, 0, 32) + run(4, b'\x01\x02\x03\x04'))
    write('bad_depth16.tga', TYPE2 + info(2, 2, 16) + pixels(4, 2))
    write('bad_depth8.tga', TYPE10 + info(2, 2, 8) + run(4, b'\x01'))

    # Headers outside the two accepted templates.
    write('bad_type3.tga', bytes([0, 0, 3]) + bytes(9) + info(2, 2, 8) + pixels(4, 1))
    write('bad_id_length.tga', bytes([4, 0, 2]) + bytes(9) + info(1, 1, 24) + b'abcd' + pixels(1, 3))
    write('bad_color_map.tga', bytes([0, 1, 2, 0, 0, 2, 0, 24, 0, 0, 0, 0]) + info(1, 1, 24) + pixels(3, 3))
    write('bad_origin.tga', bytes([0, 0, 2, 0, 0, 0, 0, 0, 5, 0, 0, 0]) + info(1, 1, 24) + pixels(1, 3))


if __name__ == '__main__':
    main()
