// The one table of surfaces every glTF check runs over (the validator and
// the settings round trip in test_export.js, the pixels in test_pixels.js),
// and the files made from it.
'use strict';
const fs = require('fs');
const path = require('path');

const GL = {
    ZERO: 0, ONE: 1, SRC_COLOR: 0x300, ONE_MINUS_SRC_COLOR: 0x301, SRC_ALPHA: 0x302, ONE_MINUS_SRC_ALPHA: 0x303,
    DST_ALPHA: 0x304, ONE_MINUS_DST_ALPHA: 0x305, DST_COLOR: 0x306, ONE_MINUS_DST_COLOR: 0x307,
    SRC_ALPHA_SATURATE: 0x308,
    NEAREST: 0x2600, LINEAR: 0x2601, LINEAR_MIPMAP_NEAREST: 0x2701, LINEAR_MIPMAP_LINEAR: 0x2703,
};
const POINTS = 0x02, COLORS = 0x04, ALL = 0x3e;

// The export size of a case that names none: 4:3, the editor's own aspect.
const SIZE = [160, 120];
// The editor's projection, stretched over a size of another shape.
const ASPECT = 4 / 3;

// Floats with no short exact decimal, to show the bits survive.
const skewed = [[-0.7, 1.1, 0], [-1.3333333730697632, -0.9, 1e-7], [0.6, 1, 0.25], [1.2, -1.05, 0]];
const keystone = [[-0.45, 0.8, 0], [-1.2, -0.9, 0], [0.45, 0.8, 0], [1.2, -0.9, 0]];
const small = [[-0.25, 0.2, 0], [-0.25, -0.2, 0], [0.25, 0.2, 0], [0.25, -0.2, 0]];
const colours = [[1, 0, 0, 1], [0, 1, 0, 0.5], [0.1, 0.2, 0.3, 1], [1, 1, 1, 1]];

// Pictures: `noise` has neighbours far apart (any wrong texel shows);
// `ramp` changes by at most 4 levels a texel, and `pyramid` too, falling to
// nothing at its edges, so that not even the step to the border is sharp: a
// texture coordinate off by a fraction of a texel changes a colour by at
// most that fraction of 4 levels.
function texel(kind, x, y, width, height, i) {
    if (kind === 'noise')
        return [(i * 37) & 255, (i * 91) & 255, (i * 53) & 255, 64 + ((i * 10) % 192)];
    if (kind === 'pyramid') {
        const edge = Math.min(x, y, width - 1 - x, height - 1 - y) + 1;
        return [4 * Math.min(x + 1, width - x), 4 * Math.min(y + 1, height - y), Math.min(128, 4 * edge),
                Math.min(255, 4 * edge)];
    }
    const step = (side) => Math.min(4, 255 / Math.max(1, side - 1));
    return [Math.round(x * step(width)), Math.round(y * step(height)), 128, 160 + Math.round(x * step(width) / 4)];
}

// name, image [kind, width, height, bits per pixel], flags, [src, dest],
// [mag, min], points, what the file must say (alphaMode, blend kept in
// extras), and `bound`: the levels the pixels may differ by (2 unless stated).
const cases = [
    { name: 'one-one', image: ['noise', 5, 3, 32], blend: [GL.ONE, GL.ONE], alphaMode: 'BLEND', kept: ['GL_ONE', 'GL_ONE'] },
    { name: 'src-alpha', image: ['noise', 5, 3, 32], blend: [GL.SRC_ALPHA, GL.ONE_MINUS_SRC_ALPHA], alphaMode: 'BLEND' },
    // Not 4:3: the camera keeps the projection's 4:3, which the canvas stretches as the editor's window does.
    { name: 'stretched', image: ['noise', 5, 3, 32], size: [200, 100], blend: [GL.SRC_ALPHA, GL.ONE_MINUS_SRC_ALPHA],
      alphaMode: 'BLEND' },
    { name: 'one-zero', image: ['noise', 5, 3, 32], blend: [GL.ONE, GL.ZERO], alphaMode: 'OPAQUE' },
    { name: 'src-alpha-one', image: ['noise', 5, 3, 32], blend: [GL.SRC_ALPHA, GL.ONE], alphaMode: 'BLEND',
      kept: ['GL_SRC_ALPHA', 'GL_ONE'] },
    { name: 'saturate', image: ['noise', 5, 3, 32], blend: [GL.SRC_ALPHA_SATURATE, GL.ONE_MINUS_DST_COLOR],
      alphaMode: 'BLEND', kept: ['GL_SRC_ALPHA_SATURATE', 'GL_ONE_MINUS_DST_COLOR'] },
    // Multiplying blending, as games darken with: the destination it reads
    // is the opaque colour of the second drawing (transparent black alone
    // would give black whatever the factors).
    { name: 'dst-colour', image: ['noise', 5, 3, 32], blend: [GL.DST_COLOR, GL.ZERO], alphaMode: 'BLEND',
      kept: ['GL_DST_COLOR', 'GL_ZERO'] },
    // OpenGL refuses GL_CONSTANT_COLOR in glBlendFunc: plain alpha blending is drawn.
    { name: 'blend-refused', image: ['noise', 5, 3, 32], blend: [0x8001, GL.ONE], alphaMode: 'BLEND',
      drawnBlend: [GL.SRC_ALPHA, GL.ONE_MINUS_SRC_ALPHA] },
    { name: 'mag-linear', image: ['noise', 5, 3, 32], filters: [GL.LINEAR, GL.LINEAR],
      blend: [GL.SRC_ALPHA, GL.ONE_MINUS_SRC_ALPHA], alphaMode: 'BLEND' },
    // OpenGL refuses a mipmap filter for magnification: NEAREST is drawn.
    { name: 'mag-refused', image: ['noise', 5, 3, 32], filters: [GL.LINEAR_MIPMAP_LINEAR, GL.LINEAR],
      blend: [GL.ONE, GL.ZERO], alphaMode: 'OPAQUE', drawnFilters: [GL.NEAREST, GL.LINEAR] },
    // Minified: the browser makes the mipmaps of the padded image its own
    // way, where the editor makes them from the picture alone, so the levels
    // of a noisy picture differ; 30 levels measured (three.js 0.181 on
    // SwiftShader against Mesa's llvmpipe).
    { name: 'mipmaps', image: ['noise', 256, 192, 32], filters: [GL.LINEAR, GL.LINEAR_MIPMAP_LINEAR], points: small,
      blend: [GL.ONE, GL.ZERO], alphaMode: 'OPAQUE', bound: 32 },
    { name: 'colours-off', image: ['noise', 5, 3, 32], flags: ALL & ~COLORS, blend: [GL.ONE, GL.ONE],
      alphaMode: 'BLEND', kept: ['GL_ONE', 'GL_ONE'] },
    { name: 'points-off', image: ['noise', 40, 30, 32], flags: ALL & ~POINTS,
      blend: [GL.SRC_ALPHA, GL.ONE_MINUS_SRC_ALPHA], alphaMode: 'BLEND' },
    // Every flag off: linear filters, alpha blending, white, the image-sized quad.
    { name: 'flags-off', image: ['noise', 40, 30, 32], flags: 0, blend: [GL.ONE, GL.ONE], alphaMode: 'BLEND' },
    { name: 'rgb-24-bit', image: ['noise', 5, 3, 24], filters: [GL.LINEAR, GL.LINEAR], blend: [GL.ONE, GL.ZERO],
      alphaMode: 'OPAQUE' },
    { name: 'keystone', image: ['pyramid', 64, 48, 32], filters: [GL.LINEAR, GL.LINEAR], points: keystone,
      perspective: true, blend: [GL.SRC_ALPHA, GL.ONE_MINUS_SRC_ALPHA], alphaMode: 'BLEND' },
    // Asked for on the command line, over a surface that does not ask.
    // NEAREST turns the grid's quarter-texel error into the neighbouring
    // texel near texel edges: one step of the picture, 4 levels.
    // The view's zoom, which the camera's field of view carries.
    { name: 'zoomed', image: ['pyramid', 64, 48, 32], filters: [GL.LINEAR, GL.LINEAR], zoom: 1.6,
      blend: [GL.SRC_ALPHA, GL.ONE_MINUS_SRC_ALPHA], alphaMode: 'BLEND' },
    { name: 'zoomed-image-quad', image: ['ramp', 40, 30, 32], flags: ALL & ~POINTS, zoom: 2.5,
      filters: [GL.LINEAR, GL.LINEAR], blend: [GL.ONE, GL.ZERO], alphaMode: 'OPAQUE' },
    { name: 'keystone-option', image: ['pyramid', 64, 48, 24], filters: [GL.NEAREST, GL.LINEAR], points: keystone,
      projectiveOption: true, blend: [GL.ONE, GL.ZERO], alphaMode: 'OPAQUE', bound: 5 },
];
for (const c of cases) {
    c.flags = c.flags === undefined ? ALL : c.flags;
    c.filters = c.filters || [GL.NEAREST, GL.LINEAR_MIPMAP_LINEAR];
    c.drawnFilters = c.drawnFilters || c.filters;
    c.drawnBlend = c.drawnBlend || c.blend;
    c.points = c.points || skewed;
    c.colors = colours;
    c.kept = c.kept || null;
    c.bound = c.bound === undefined ? 2 : c.bound;
    c.size = c.size || SIZE;
    c.zoom = c.zoom || 1;
}

// An uncompressed true-colour TGA, first row at the bottom.
function writeTga(file, [kind, width, height, bpp]) {
    const bytes = bpp / 8;
    const header = Buffer.alloc(18);
    header[2] = 2;
    header.writeUInt16LE(width, 12);
    header.writeUInt16LE(height, 14);
    header[16] = bpp;
    header[17] = bpp === 32 ? 8 : 0;
    const pixels = Buffer.alloc(width * height * bytes);
    for (let y = 0; y < height; ++y)
        for (let x = 0; x < width; ++x) {
            const i = y * width + x;
            const [r, g, b, a] = texel(kind, x, y, width, height, i);
            pixels.set(bytes === 4 ? [b, g, r, a] : [b, g, r], i * bytes);
        }
    fs.writeFileSync(file, Buffer.concat([header, pixels]));
}

// The case's picture and surface file in `dir`; the surface's path.
function writeSurface(dir, c) {
    const image = `${c.name}.tga`;
    writeTga(path.join(dir, image), c.image);
    const surface = {
        format: 'skimbler-surface', version: 1,
        image: { absolute: path.join(dir, image), relative: image },
        surface: {
            BPP: c.image[3], ColorKey: 0x00ff00ff, Colors: c.colors, DataFormat: 0, DestFactor: c.blend[1],
            Flags: c.flags, Height: c.image[2], MagFilter: c.filters[0], MinFilter: c.filters[1],
            PerspectiveCorrect: Boolean(c.perspective), Points: c.points, SrcFactor: c.blend[0], Type: 2, Version: 7,
            Width: c.image[1],
        },
    };
    const file = path.join(dir, `${c.name}.skimbler`);
    fs.writeFileSync(file, JSON.stringify(surface, null, 4));
    return file;
}

// skimbler-cli's arguments for `command` of the case into `output`.
function cliArguments(command, c, input, output, format) {
    const args = [command];
    if (format)
        args.push('--format', format);
    args.push(input, '-o', output, '--size', `${c.size[0]}x${c.size[1]}`);
    if (c.projectiveOption)
        args.push('--projective');
    if (c.zoom !== 1)
        args.push('--zoom', String(c.zoom));
    return args;
}

// The JSON of a .gltf or .glb, and a .glb's binary chunk.
function readGltf(file) {
    const bytes = fs.readFileSync(file);
    if (bytes.readUInt32LE(0) !== 0x46546c67)
        return { json: JSON.parse(bytes.toString('utf8')), bin: null };
    const length = bytes.readUInt32LE(12);
    return { json: JSON.parse(bytes.subarray(20, 20 + length).toString('utf8')),
             bin: bytes.subarray(20 + length + 8, 20 + length + 8 + bytes.readUInt32LE(20 + length)) };
}

// An accessor's values as arrays of its components.
function accessorValues(gltf, index) {
    const { json, bin } = gltf;
    const accessor = json.accessors[index];
    const view = json.bufferViews[accessor.bufferView];
    let buffer = bin;
    if (!buffer) {
        const uri = json.buffers[0].uri;
        buffer = Buffer.from(uri.substring(uri.indexOf(',') + 1), 'base64');
    }
    const size = { SCALAR: 1, VEC2: 2, VEC3: 3, VEC4: 4 }[accessor.type];
    const values = [];
    for (let i = 0; i < accessor.count; ++i) {
        const item = [];
        for (let k = 0; k < size; ++k) {
            const at = view.byteOffset + (i * size + k) * (accessor.componentType === 5126 ? 4 : 2);
            item.push(accessor.componentType === 5126 ? buffer.readFloatLE(at) : buffer.readUInt16LE(at));
        }
        values.push(item);
    }
    return values;
}

// The projective map of the unit square (s, t) onto the quad's corners in
// x and y, as a 3 x 3 matrix (rows), by the square-to-quad construction.
function homography(points) {
    // (0,0) (1,0) (1,1) (0,1) are the strip's corners 1, 3, 2, 0.
    const [p0, p1, p2, p3] = [points[1], points[3], points[2], points[0]];
    const dx1 = p1[0] - p2[0], dx2 = p3[0] - p2[0], dx3 = p0[0] - p1[0] + p2[0] - p3[0];
    const dy1 = p1[1] - p2[1], dy2 = p3[1] - p2[1], dy3 = p0[1] - p1[1] + p2[1] - p3[1];
    const det = dx1 * dy2 - dx2 * dy1;
    const g = (dx3 * dy2 - dx2 * dy3) / det, h = (dx1 * dy3 - dx3 * dy1) / det;
    return [[p1[0] - p0[0] + g * p1[0], p3[0] - p0[0] + h * p3[0], p0[0]],
            [p1[1] - p0[1] + g * p1[1], p3[1] - p0[1] + h * p3[1], p0[1]], [g, h, 1]];
}

// (s, t) of the quad's point (x, y): the inverse map.
function unproject(m, x, y) {
    const [[a, b, c], [d, e, f], [g, h, i]] = m;
    const A = e * i - f * h, B = c * h - b * i, C = b * f - c * e;
    const D = f * g - d * i, E = a * i - c * g, F = c * d - a * f;
    const G = d * h - e * g, H = b * g - a * h, I = a * e - b * d;
    const w = G * x + H * y + I;
    return [(A * x + B * y + C) / w, (D * x + E * y + F) / w];
}

module.exports = { GL, ASPECT, cases, writeSurface, cliArguments, readGltf, accessorValues, homography, unproject };
