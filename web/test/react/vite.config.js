import { defineConfig } from 'vite';

// JSX with React's automatic runtime, by Vite's own esbuild.
export default defineConfig({
  esbuild: { jsx: 'automatic' },
  logLevel: 'warn',
});
