// Runs the Khronos glTF validator over exported files: one line of counts
// per file, exit status 1 when any file has an error or a warning.
'use strict';
const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');

async function validate(file) {
    const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {
        uri: path.basename(file),
        maxIssues: 0,
    });
    const { numErrors, numWarnings } = report.issues;
    const details = report.issues.messages
        .filter((m) => m.severity <= 1)
        .map((m) => `  ${m.code} ${m.pointer || ''}: ${m.message}`);
    return { numErrors, numWarnings, details };
}

async function main(files) {
    let failed = false;
    for (const file of files) {
        const { numErrors, numWarnings, details } = await validate(file);
        console.log(`${file}: ${numErrors} errors, ${numWarnings} warnings`);
        details.forEach((line) => console.log(line));
        failed = failed || numErrors > 0 || numWarnings > 0;
    }
    return failed ? 1 : 0;
}

module.exports = { validate };

if (require.main === module) {
    if (process.argv.length < 3) {
        console.error('usage: node validate.js FILE.gltf|FILE.glb...');
        process.exit(2);
    }
    main(process.argv.slice(2)).then((code) => process.exit(code), (error) => {
        console.error(error);
        process.exit(1);
    });
}
