// skimbler-cli export over a table of surfaces: every .gltf and .glb passes
// the Khronos validator with nothing to say, the settings come back from
// asset.extras.skimbler bit for bit, and a blend pair glTF cannot say is
// both kept in the material and warned about.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFileSync, spawnSync } = require('child_process');
const { validate } = require('./validate');

const cli = process.argv[2];
const ONE = 1, ZERO = 0, SRC_ALPHA = 0x302, ONE_MINUS_SRC_ALPHA = 0x303;
const POINTS = 0x02, COLORS = 0x04;

// name, flags, src, dest, bits per pixel, alphaMode, blend kept in extras
const cases = [
    ['default-one-one', 0x3e, ONE, ONE, 32, 'BLEND', ['GL_ONE', 'GL_ONE']],
    ['src-alpha', 0x3e, SRC_ALPHA, ONE_MINUS_SRC_ALPHA, 32, 'BLEND', null],
    ['one-zero', 0x3e, ONE, ZERO, 32, 'OPAQUE', null],
    ['colours-off', 0x3e & ~COLORS, ONE, ONE, 32, 'BLEND', ['GL_ONE', 'GL_ONE']],
    ['points-off', 0x3e & ~POINTS, SRC_ALPHA, ONE_MINUS_SRC_ALPHA, 32, 'BLEND', null],
    ['rgb-24-bit', 0x3e, ONE, ZERO, 24, 'OPAQUE', null],
];

// An uncompressed true-colour TGA, 5 x 3, first row at the bottom.
function writeTga(file, bpp) {
    const width = 5, height = 3, bytes = bpp / 8;
    const header = Buffer.alloc(18);
    header[2] = 2;
    header.writeUInt16LE(width, 12);
    header.writeUInt16LE(height, 14);
    header[16] = bpp;
    header[17] = bpp === 32 ? 8 : 0;
    const pixels = Buffer.alloc(width * height * bytes);
    for (let i = 0; i < width * height; ++i) {
        pixels[i * bytes] = (i * 37) & 255;
        pixels[i * bytes + 1] = (i * 91) & 255;
        pixels[i * bytes + 2] = (i * 53) & 255;
        if (bytes === 4)
            pixels[i * bytes + 3] = 64 + i * 10;
    }
    fs.writeFileSync(file, Buffer.concat([header, pixels]));
}

function floatBits(value) {
    const view = new DataView(new ArrayBuffer(4));
    view.setFloat32(0, value);
    return view.getUint32(0);
}

function jsonOf(file) {
    const bytes = fs.readFileSync(file);
    if (bytes.readUInt32LE(0) !== 0x46546c67)
        return JSON.parse(bytes.toString('utf8'));
    const length = bytes.readUInt32LE(12);
    return JSON.parse(bytes.subarray(20, 20 + length).toString('utf8'));
}

async function main() {
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'skimbler-gltf-'));
    const failures = [];
    const check = (ok, what) => { if (!ok) failures.push(what); };
    for (const [name, flags, src, dest, bpp, alphaMode, blend] of cases) {
        const image = `${name}.tga`;
        writeTga(path.join(dir, image), bpp);
        // Floats with no short exact decimal, to show the bits survive.
        const points = [[-0.7, 1.1, 0], [-1.3333333730697632, -0.9, 1e-7], [0.6, 1, 0.25], [1.2, -1.05, 0]];
        const colors = [[1, 0, 0, 1], [0, 1, 0, 0.5], [0.1, 0.2, 0.3, 1], [1, 1, 1, 1]];
        const surface = {
            format: 'skimbler-surface', version: 1,
            image: { absolute: path.join(dir, image), relative: image },
            surface: {
                BPP: bpp, ColorKey: 0x00ff00ff, Colors: colors, DataFormat: 0, DestFactor: dest, Flags: flags,
                Height: 3, MagFilter: 0x2600, MinFilter: 0x2703, PerspectiveCorrect: false, Points: points,
                SrcFactor: src, Type: 2, Version: 7, Width: 5,
            },
        };
        const input = path.join(dir, `${name}.skimbler`);
        fs.writeFileSync(input, JSON.stringify(surface, null, 4));
        for (const format of ['gltf', 'glb']) {
            const output = path.join(dir, `${name}.${format}`);
            const run = spawnSync(cli, ['export', '--format', format, input, '-o', output, '--size', '640x480'],
                                  { encoding: 'utf8' });
            check(run.status === 0, `${name}.${format}: exit ${run.status}: ${run.stderr}`);
            if (run.status !== 0)
                continue;
            check((run.stderr.indexOf('GL_ONE / GL_ONE') >= 0) === (blend !== null),
                  `${name}.${format}: blend warning "${run.stderr.trim()}"`);
            const { numErrors, numWarnings, details } = await validate(output);
            console.log(`${name}.${format}: ${numErrors} errors, ${numWarnings} warnings`);
            check(numErrors === 0 && numWarnings === 0, `${name}.${format}:\n${details.join('\n')}`);

            const gltf = jsonOf(output);
            const material = gltf.materials[0];
            check(material.alphaMode === alphaMode, `${name}.${format}: alphaMode ${material.alphaMode}`);
            const kept = material.extras ? material.extras.skimbler.blend : null;
            check(JSON.stringify(kept) === JSON.stringify(blend), `${name}.${format}: blend ${JSON.stringify(kept)}`);
            check(('COLOR_0' in gltf.meshes[0].primitives[0].attributes) === Boolean(flags & COLORS),
                  `${name}.${format}: COLOR_0 against the colours flag`);
            const s = gltf.asset.extras.skimbler.settings;
            const want = { version: 7, bpp, type: 2, dataFormat: 0, colorKey: 0x00ff00ff, magFilter: 0x2600,
                           minFilter: 0x2703, srcFactor: src, destFactor: dest, flags, perspectiveCorrect: 0 };
            for (const key of Object.keys(want))
                check(s[key] === want[key], `${name}.${format}: settings.${key} ${s[key]}, not ${want[key]}`);
            check(JSON.stringify(s.pointBits) === JSON.stringify(points.flat().map(floatBits)),
                  `${name}.${format}: point bits`);
            check(JSON.stringify(s.colorBits) === JSON.stringify(colors.flat().map(floatBits)),
                  `${name}.${format}: colour bits`);
        }
    }
    if (!failures.length) fs.rmSync(dir, { recursive: true, force: true });
    failures.forEach((line) => console.error(`FAIL ${line}`));
    return failures.length ? 1 : 0;
}

main().then((code) => process.exit(code), (error) => {
    console.error(error);
    process.exit(1);
});
