# Definitions shared by the scenarios: one per line, each used against a harness dump.
def on(n): .controls[n].visible;
def front(n): .controls[n].z > .controls.body.z;
def tab(area; picture): front(picture) and (front(area) | not);
def pictures: [ "ImagePhoto", "ImageScheme", "ImageVideo", "ImageArticles", "ImageBonus" ] as $names | . as $d | [$names[] | select(. as $n | $d | front($n))] | length;
def shown(names): . as $d | [names[] | select(. as $n | $d | on($n))];
def lists: shown([ "FotoTreeView", "SchemeListBox", "VideoListBox", "ArticlesListBox", "NaskaTreeView" ]);
def transport: shown([ "ImageBackward", "ImageBackwardH", "ImagePlay", "ImagePlayH", "ImagePause", "ImagePauseH", "ImageStop", "ImageStopH", "ImageForward", "ImageForwardH" ]);
def inactive: on("ImageNextH") and on("ImagePrevH") and (on("ImageNext") | not) and (on("ImagePrev") | not);
def next_on: on("ImageNext") and (on("ImageNextH") | not);
def next_off: (on("ImageNext") | not);
def prev_on: on("ImagePrev") and (on("ImagePrevH") | not);
def prev_off: (on("ImagePrev") | not);
def first_photo: {hash: .viewer.hash, width: .viewer.width, info, next: next_on, prev: prev_on, mode: .state.CurrentMode, photo: .state.CurrentPhoto, list: .state.CurrentPlaceList};
