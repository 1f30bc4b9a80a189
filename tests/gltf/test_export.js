// skimbler-cli export over the table of surfaces: every .gltf and .glb
// passes the Khronos validator with nothing to say, the settings come back
// from asset.extras.skimbler bit for bit, a blend pair glTF cannot say is
// both kept in the material and warned about, and a projective quad's grid
// stays within a quarter texel of the quad's own projective mapping.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { spawnSync } = require('child_process');
const { validate } = require('./validate');
const { GL, cases, writeSurface, cliArguments, readGltf, accessorValues, homography, unproject } = require('./cases');

const cli = process.argv[2];
const COLORS = 0x04, MAG = 0x08, MIN = 0x10;

function floatBits(value) {
    const view = new DataView(new ArrayBuffer(4));
    view.setFloat32(0, value);
    return view.getUint32(0);
}

// The largest distance, in texels of the picture, between the texture
// coordinate a renderer interpolates over the grid and the quad's own.
function gridError(gltf, c) {
    const attributes = gltf.json.meshes[0].primitives[0].attributes;
    const positions = accessorValues(gltf, attributes.POSITION);
    const uvs = accessorValues(gltf, attributes.TEXCOORD_0);
    const indices = accessorValues(gltf, gltf.json.meshes[0].primitives[0].indices).map((v) => v[0]);
    const [, width, height] = c.image;
    const m = homography(c.points);
    let worst = 0;
    const steps = 6;
    for (let k = 0; k < indices.length; k += 3) {
        const v = indices.slice(k, k + 3);
        for (let a = 0; a <= steps; ++a)
            for (let b = 0; a + b <= steps; ++b) {
                const mu = [a / steps, b / steps, (steps - a - b) / steps];
                const at = (values, n) => mu.reduce((sum, weight, j) => sum + weight * values[v[j]][n], 0);
                const [s, t] = unproject(m, at(positions, 0), at(positions, 1));
                const u = (s * width + 1) / (width + 2), w = ((1 - t) * height + 1) / (height + 2);
                worst = Math.max(worst, Math.abs(at(uvs, 0) - u) * (width + 2), Math.abs(at(uvs, 1) - w) * (height + 2));
            }
    }
    return { worst, triangles: indices.length / 3 };
}

async function main() {
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'skimbler-gltf-'));
    const failures = [];
    const check = (ok, what) => { if (!ok) failures.push(what); };
    for (const c of cases) {
        const input = writeSurface(dir, c);
        for (const format of ['gltf', 'glb']) {
            const name = `${c.name}.${format}`;
            const output = path.join(dir, name);
            const run = spawnSync(cli, cliArguments('export', c, input, output, format), { encoding: 'utf8' });
            check(run.status === 0, `${name}: exit ${run.status}: ${run.stderr}`);
            if (run.status !== 0)
                continue;
            check((run.stderr.indexOf('blending GL_') >= 0) === (c.kept !== null), `${name}: blend warning "${run.stderr.trim()}"`);
            const { numErrors, numWarnings, details } = await validate(output);
            console.log(`${name}: ${numErrors} errors, ${numWarnings} warnings`);
            check(numErrors === 0 && numWarnings === 0, `${name}:\n${details.join('\n')}`);

            const gltf = readGltf(output);
            const { json } = gltf;
            const material = json.materials[0];
            check(material.alphaMode === c.alphaMode, `${name}: alphaMode ${material.alphaMode}`);
            const kept = material.extras ? material.extras.skimbler.blend : null;
            check(JSON.stringify(kept) === JSON.stringify(c.kept), `${name}: blend ${JSON.stringify(kept)}`);
            check(('COLOR_0' in json.meshes[0].primitives[0].attributes) === Boolean(c.flags & COLORS),
                  `${name}: COLOR_0 against the colours flag`);
            const sampler = json.samplers[0];
            const filters = [c.flags & MAG ? c.drawnFilters[0] : GL.LINEAR, c.flags & MIN ? c.drawnFilters[1] : GL.LINEAR];
            check(sampler.magFilter === filters[0] && sampler.minFilter === filters[1],
                  `${name}: filters ${sampler.magFilter} ${sampler.minFilter}, not ${filters}`);
            const s = json.asset.extras.skimbler.settings;
            const want = { version: 7, bpp: c.image[3], type: 2, dataFormat: 0, colorKey: 0x00ff00ff,
                           magFilter: c.filters[0], minFilter: c.filters[1], srcFactor: c.blend[0],
                           destFactor: c.blend[1], flags: c.flags, perspectiveCorrect: c.perspective ? 1 : 0 };
            for (const key of Object.keys(want))
                check(s[key] === want[key], `${name}: settings.${key} ${s[key]}, not ${want[key]}`);
            check(JSON.stringify(s.pointBits) === JSON.stringify(c.points.flat().map(floatBits)), `${name}: point bits`);
            check(JSON.stringify(s.colorBits) === JSON.stringify(c.colors.flat().map(floatBits)), `${name}: colour bits`);
            if (c.perspective || c.projectiveOption) {
                const { worst, triangles } = gridError(gltf, c);
                console.log(`${name}: ${triangles} triangles, texture off by at most ${worst.toFixed(3)} texel`);
                check(worst < 0.25, `${name}: the grid's texture is ${worst} texel off the projective one`);
            }
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
