// The table's exports drawn by a third-party renderer (three.js in headless
// Chromium, one run for every file) agree with `skimbler-cli render
// --transparent` of the same surface, and drawn over an opaque colour with
// `render --background` of that colour, within each case's bound, on the
// pixels more than 1.5 pixels inside the quad's edges.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const { pathToFileURL } = require('url');
const { spawnSync } = require('child_process');
const { GL, ASPECT, cases, writeSurface, cliArguments, readGltf, accessorValues, homography, unproject } = require('./cases');

const cli = process.argv[2];
const chromium = process.argv[3] || 'chromium';
const POINTS = 0x02, MAG = 0x08, BLEND = 0x20;
// The destination of the second drawing: no channel 0 or 255, none equal,
// so that every factor that reads it weighs something of its own.
const OVER = [64, 144, 208];
const OVER_HEX = '#' + OVER.map((v) => v.toString(16).padStart(2, '0')).join('');

// An 8-bit RGB or RGBA PNG as RGBA rows, top first.
function decodePng(file) {
    const bytes = fs.readFileSync(file);
    let offset = 8, width = 0, height = 0, channels = 0;
    const data = [];
    while (offset < bytes.length) {
        const length = bytes.readUInt32BE(offset), type = bytes.toString('latin1', offset + 4, offset + 8);
        const body = bytes.subarray(offset + 8, offset + 8 + length);
        if (type === 'IHDR') {
            width = body.readUInt32BE(0);
            height = body.readUInt32BE(4);
            if (body[8] !== 8 || body[12] !== 0 || (body[9] !== 2 && body[9] !== 6))
                throw new Error(`${file}: not an 8-bit RGB(A) PNG`);
            channels = body[9] === 6 ? 4 : 3;
        } else if (type === 'IDAT') {
            data.push(body);
        }
        offset += 12 + length;
    }
    const raw = zlib.inflateSync(Buffer.concat(data));
    const stride = width * channels, out = Buffer.alloc(width * height * 4);
    let previous = Buffer.alloc(stride);
    for (let y = 0; y < height; ++y) {
        const filter = raw[y * (stride + 1)], line = Buffer.from(raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1)));
        for (let i = 0; i < stride; ++i) {
            const a = i >= channels ? line[i - channels] : 0, b = previous[i], c = i >= channels ? previous[i - channels] : 0;
            const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
            const predictor = [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : pb <= pc ? b : c][filter];
            line[i] = (line[i] + predictor) & 255;
        }
        for (let x = 0; x < width; ++x)
            for (let k = 0; k < 4; ++k)
                out[(y * width + x) * 4 + k] = k < channels ? line[x * channels + k] : 255;
        previous = line;
    }
    return { width, height, pixels: out };
}

const PLANE_Z = -2.4142136, FOCAL = 1 / Math.tan(Math.PI / 8);
const STRIP = [[0, 1], [0, 0], [1, 1], [1, 0]];

// The quad's corners as drawn (the image-sized quad comes from the file),
// x and y scaled by the view's zoom as the editor scales them.
function quadCorners(c, gltf) {
    const corners = c.flags & POINTS ? c.points : accessorValues(gltf, gltf.json.meshes[0].primitives[0].attributes.POSITION);
    return corners.map(([x, y, z]) => [c.zoom * x, c.zoom * y, z]);
}

// The corners in window pixels (y down) of a WIDTH x HEIGHT picture, in the
// editor's projection.
function windowCorners(corners, [WIDTH, HEIGHT]) {
    return corners.map(([x, y, z]) => {
        const depth = -(PLANE_Z + z);
        return [(FOCAL / ASPECT * x / depth + 1) / 2 * WIDTH, (1 - FOCAL * y / depth) / 2 * HEIGHT];
    });
}

// The picture's (s, t) the editor samples at window point (x, y): where the
// eye's ray meets one of the strip's triangles, projectively when asked.
function textureAt(c, corners, x, y) {
    const [WIDTH, HEIGHT] = c.size;
    const ray = [(2 * x / WIDTH - 1) * ASPECT / FOCAL, (1 - 2 * y / HEIGHT) / FOCAL, -1];
    const eye = corners.map(([px, py, pz]) => [px, py, PLANE_Z + pz]);
    const sub = (p, q) => [p[0] - q[0], p[1] - q[1], p[2] - q[2]];
    const cross = (p, q) => [p[1] * q[2] - p[2] * q[1], p[2] * q[0] - p[0] * q[2], p[0] * q[1] - p[1] * q[0]];
    const dot = (p, q) => p[0] * q[0] + p[1] * q[1] + p[2] * q[2];
    for (const [i, j, k] of [[0, 1, 2], [2, 1, 3]]) {
        // Moller-Trumbore from the eye at the origin.
        const e1 = sub(eye[j], eye[i]), e2 = sub(eye[k], eye[i]), p = cross(ray, e2), det = dot(e1, p);
        const o = sub([0, 0, 0], eye[i]), u = dot(o, p) / det, qv = cross(o, e1), v = dot(ray, qv) / det;
        if (u < 0 || v < 0 || u + v > 1)
            continue;
        const w = [1 - u - v, u, v], hit = [0, 1, 2].map((n) => w[0] * eye[i][n] + w[1] * eye[j][n] + w[2] * eye[k][n]);
        if (c.perspective || c.projectiveOption)
            return unproject(homography(corners), hit[0], hit[1]);
        return [0, 1].map((n) => w[0] * STRIP[i][n] + w[1] * STRIP[j][n] + w[2] * STRIP[k][n]);
    }
    return null;
}

// Whether (x, y) is more than `margin` inside the convex quad (strip order).
function inside(corners, x, y, margin) {
    const ring = [corners[0], corners[1], corners[3], corners[2]];
    let area = 0;
    for (let i = 0; i < 4; ++i) {
        const [ax, ay] = ring[i], [bx, by] = ring[(i + 1) % 4];
        area += ax * by - bx * ay;
    }
    for (let i = 0; i < 4; ++i) {
        const [ax, ay] = ring[i], [bx, by] = ring[(i + 1) % 4];
        const distance = Math.sign(area) * ((bx - ax) * (y - ay) - (by - ay) * (x - ax)) / Math.hypot(bx - ax, by - ay);
        if (!(distance > margin))
            return false;
    }
    return true;
}

// The largest difference between the editor's picture (`expected(e, k)`
// of its pixel e, channel k; null: not compared) and three.js's, on the
// pixels well inside the quad.
function compare(c, gltf, editor, three, expected) {
    const [WIDTH, HEIGHT] = c.size;
    const corners = quadCorners(c, gltf), window = windowCorners(corners, c.size);
    // NEAREST may take either texel where the coordinate is on their edge.
    const nearest = (c.flags & MAG ? c.drawnFilters[0] : GL.LINEAR) === GL.NEAREST;
    const onEdge = (value) => Math.abs(value - Math.round(value)) < 1 / 256;
    let worst = 0, count = 0, at = null;
    for (let y = 0; y < HEIGHT; ++y)
        for (let x = 0; x < WIDTH; ++x) {
            if (!inside(window, x + 0.5, y + 0.5, 1.5))
                continue;
            if (nearest) {
                const [s, t] = textureAt(c, corners, x + 0.5, y + 0.5);
                if (onEdge(s * c.image[1]) || onEdge(t * c.image[2]))
                    continue;
            }
            ++count;
            const e = editor.pixels.subarray((y * WIDTH + x) * 4, (y * WIDTH + x) * 4 + 4);
            const t = three.subarray(((HEIGHT - 1 - y) * WIDTH + x) * 4, ((HEIGHT - 1 - y) * WIDTH + x) * 4 + 4);
            for (let k = 0; k < 4; ++k) {
                const value = expected(e, k);
                if (value === null)
                    continue;
                const difference = Math.abs(value - t[k]);
                if (difference > worst) {
                    worst = difference;
                    at = `(${x}, ${y}) editor ${Array.from(e)} three.js ${Array.from(t)}`;
                }
            }
        }
    return { count, worst, at };
}

function run(command, args) {
    const result = spawnSync(command, args, { encoding: 'utf8', timeout: 300000, maxBuffer: 256 * 1024 * 1024 });
    if (result.status !== 0)
        throw new Error(`${command} ${args.join(' ')}: exit ${result.status}: ${result.stderr || result.error}`);
    return result.stdout;
}

function main() {
    if (!fs.existsSync(path.join(__dirname, 'node_modules', 'three')))
        throw new Error('three.js is not in tests/gltf/node_modules (scripts/setup-debian.sh installs it)');
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'skimbler-pixels-'));
    const files = [];
    for (const c of cases) {
        const input = writeSurface(dir, c);
        run(cli, cliArguments('render', c, input, path.join(dir, `${c.name}.png`)).concat('--transparent'));
        run(cli, cliArguments('render', c, input, path.join(dir, `${c.name}-over.png`)).concat('--background', OVER_HEX));
        for (const format of ['gltf', 'glb']) {
            const output = path.join(dir, `${c.name}.${format}`);
            run(cli, cliArguments('export', c, input, output, format));
            files.push({ c, output, url: pathToFileURL(output).href });
        }
    }
    const list = path.join(dir, 'list.json');
    fs.writeFileSync(list, JSON.stringify({ files: files.map((f) => ({ url: f.url, width: f.c.size[0], height: f.c.size[1] })),
                                            over: OVER }));
    const page = `${pathToFileURL(path.join(__dirname, 'pixels.html')).href}?list=${pathToFileURL(list).href}`;
    const dom = run(chromium, ['--headless=new', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
                               '--allow-file-access-from-files', '--virtual-time-budget=10000',
                               `--user-data-dir=${path.join(dir, 'profile')}`, '--dump-dom', page]);
    const match = /<pre id="pixels">([^<]*)<\/pre>/.exec(dom);
    const drawn = match && match[1] ? JSON.parse(match[1].replace(/&quot;/g, '"').replace(/&amp;/g, '&')) : {};
    if (drawn.error)
        throw new Error(`the page failed: ${drawn.error}`);

    const failures = [];
    for (const { c, output, url } of files) {
        const name = path.basename(output);
        // render --transparent divides the colour by alpha where the source
        // factor weighed it by alpha; three.js's buffer holds it multiplied.
        const src = c.flags & BLEND ? c.drawnBlend[0] : GL.SRC_ALPHA;
        const premultiplied = src === GL.SRC_ALPHA || src === GL.SRC_ALPHA_SATURATE;
        const transparent = (e, k) => (premultiplied && k < 3 ? Math.round(e[k] * e[3] / 255) : e[k]);
        // Over the colour the picture is opaque, and its alpha the clear's.
        const over = (e, k) => (k < 3 ? e[k] : null);
        for (const [key, picture, expected, label] of [[url, `${c.name}.png`, transparent, name],
                                                       [url + '#over', `${c.name}-over.png`, over, `${name} over ${OVER_HEX}`]]) {
            const text = drawn[key];
            if (!text || text.startsWith('error')) {
                failures.push(`${label}: not drawn (${text || 'nothing from the page'})`);
                continue;
            }
            const { count, worst, at } = compare(c, readGltf(output), decodePng(path.join(dir, picture)),
                                                 Buffer.from(text, 'base64'), expected);
            console.log(`${label}: ${count} pixels inside, largest difference ${worst} (bound ${c.bound})${worst ? ' at ' + at : ''}`);
            if (count < 200)
                failures.push(`${label}: only ${count} pixels inside the quad`);
            if (worst > c.bound)
                failures.push(`${label}: differs by ${worst} levels at ${at}`);
        }
    }
    if (!failures.length) fs.rmSync(dir, { recursive: true, force: true });
    failures.forEach((line) => console.error(`FAIL ${line}`));
    return failures.length ? 1 : 0;
}

try {
    process.exit(main());
} catch (error) {
    console.error(`FAIL ${error.message}`);
    process.exit(1);
}
